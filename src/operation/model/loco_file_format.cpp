#include "operation/model/loco_file_format.h"

#include <algorithm>
#include <cstring>

#include "operation/model/speed_curve.h"

using vestrel::ByteReader;

int locoImageSize(int version) {
    if (version == 2) return 176;
    if (version == 3) return 180;
    if (version <= 5) return 184;
    if (version <= 7) return 188;
    return kLocoRecSize;
}

int wagonImageSize(int version) { return version <= 4 ? 96 : kWagonRecSize; }

bool validLocoSpeedSteps(int n) { return n == 14 || n == 27 || n == 28 || n == 126; }

namespace {

// "V", digit, ".", digit: version 10x + y; anything else is version 0, read from the first byte.
int readVersion(ByteReader& r) {
    if (r.size() < 4) return 0;
    uint8_t head[4];
    r.bytes(head, 4);
    if (head[0] == 'V' && head[2] == '.') return (head[1] - '0') * 10 + (head[3] - '0');
    r.seek(0);
    return 0;
}

// Before version 5 the name came first in the 40 bytes from offset 116 and the photo name last.
void rearrangeOldNameAndPhoto(uint8_t* image) {
    uint8_t old[kLocoRecSize];
    std::memcpy(old, image, kLocoRecSize);
    std::memcpy(image + 116, old + 147, 10);
    std::memcpy(image + kLocoNameOffset, old + 116, 30);
}

bool readLocoImage(ByteReader& r, int version, StoredLoco& out) {
    uint8_t image[kLocoRecSize] = {};
    r.bytes(image, static_cast<size_t>(locoImageSize(version)));
    if (!r.ok()) return false;
    if (version < 5) rearrangeOldNameAndPhoto(image);
    ByteReader ir(image, sizeof image);
    out.rec = std::make_unique<LocoRec>();
    decodeLoco(ir, *out.rec, out.links);
    return validLocoSpeedSteps(out.rec->run.speedSteps);
}

bool readWagonImage(ByteReader& r, int version, StoredWagon& out) {
    uint8_t image[kWagonRecSize] = {};
    r.bytes(image, static_cast<size_t>(wagonImageSize(version)));
    if (!r.ok()) return false;
    ByteReader ir(image, sizeof image);
    out.rec = std::make_unique<WagonRec>();
    decodeWagon(ir, *out.rec, out.links);
    return true;
}

// Version 6 and 7 tables held each step's offset from the straight line to the maximum speed.
void rebuildOldSpeedTable(LocoRec& loco) {
    const int n = loco.run.speedSteps;
    for (int s = n; s >= 1; --s) {
        const float v = static_cast<float>(s) * loco.run.maxSpeed / static_cast<float>(n) + loco.speedTable[s] + 0.5f;
        fillSpeedCurveStep(&loco, s, static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 255)));
    }
}

bool readSpeedTables(ByteReader& r, int version, std::vector<StoredLoco>& locos) {
    for (StoredLoco& l : locos) {
        l.rec->speedTable.fill(0);
        if (version >= 7) r.bytes(l.rec->speedTable.data(), kSpeedTableSize);
        else if (version == 6) r.bytes(l.rec->speedTable.data(), kSpeedTableSize - 1);
    }
    if (!r.ok()) return false;
    for (StoredLoco& l : locos) {
        if (version == 6 || version == 7) rebuildOldSpeedTable(*l.rec);
        normaliseSpeedCurve(l.rec.get());
    }
    return true;
}

bool readLocos(ByteReader& r, LocoFileContent& c, int flag) {
    const int32_t n = r.i32();
    if (!r.ok() || c.version > kLocoFileVersion || c.version < 0 || n < 0 || n > kMaxLocs) return false;
    c.locos.resize(static_cast<size_t>(n));
    for (StoredLoco& l : c.locos) {
        if (!readLocoImage(r, c.version, l)) return false;
        if (l.links.head.block == 0 || flag) {
            l.links.head.block = 0;
            l.links.connection = 0;
        }
        l.rec->flags &= static_cast<uint8_t>(~kLocoSendTarget);
        if (c.version < 4) l.links.rearChain = 0;
    }
    return readSpeedTables(r, c.version, c.locos);
}

// A chain follows while the stored pointer that leads to it (the locomotive's, then each wagon's
// next) was set.
bool readChain(ByteReader& r, int version, bool follows, std::vector<StoredWagon>& chain, int& total) {
    while (follows) {
        if (total >= kMaxWagons) return false;
        StoredWagon w;
        if (!readWagonImage(r, version, w)) return false;
        follows = w.links.next != 0;
        chain.push_back(std::move(w));
        ++total;
    }
    return true;
}

bool readWagons(ByteReader& r, int version, int n, std::vector<StoredWagon>& out) {
    out.resize(static_cast<size_t>(n));
    for (StoredWagon& w : out)
        if (!readWagonImage(r, version, w)) return false;
    return true;
}

bool readWagonZones(ByteReader& r, LocoFileContent& c) {
    int coupled = 0;
    for (StoredLoco& l : c.locos) {
        if (!readChain(r, c.version, l.links.frontChain != 0, l.front, coupled)) return false;
        if (!readChain(r, c.version, l.links.rearChain != 0, l.rear, coupled)) return false;
    }
    if (c.version < 4) return true;
    const int32_t loose = r.i32();
    if (!r.ok() || loose < 0 || loose > kMaxWagons - coupled) return false;
    if (!readWagons(r, c.version, loose, c.loose)) return false;
    if (c.version < 5) return true;
    const int32_t total = r.i32();
    if (!r.ok() || total < coupled + loose || total > kMaxWagons) return false;
    return readWagons(r, c.version, total - coupled - loose, c.offTrack);
}

// Version 11 starts each run-state section with the element count it was written for.
bool sectionFits(ByteReader& r, int version, int layoutCount) {
    if (version < 11) return true;
    return r.i32() == layoutCount;
}

bool inRange(int32_t v, int32_t high) { return v >= 0 && v <= high; }

RunStateStatus readRunStateSections(ByteReader& r, int version, StoredRunState& s) {
    if (!sectionFits(r, version, gBlockCount)) return r.ok() ? RunStateStatus::Mismatch : RunStateStatus::Damaged;
    s.blocks.resize(static_cast<size_t>(gBlockCount));
    for (StoredBlockState& b : s.blocks) {
        b.arrived = r.i32();
        b.assigned = r.i32();
    }
    if (!sectionFits(r, version, gTurnoutCount)) return r.ok() ? RunStateStatus::Mismatch : RunStateStatus::Damaged;
    s.turnouts.resize(static_cast<size_t>(gTurnoutCount));
    for (StoredTurnoutState& t : s.turnouts) {
        t.holder = r.i32();
        t.position = r.ch();
    }
    if (!sectionFits(r, version, gSignalCount)) return r.ok() ? RunStateStatus::Mismatch : RunStateStatus::Damaged;
    s.signalAspects.resize(static_cast<size_t>(gSignalCount));
    for (char& state : s.signalAspects) state = r.ch();
    if (version >= 10) {
        if (!sectionFits(r, version, gTurntableCount)) return r.ok() ? RunStateStatus::Mismatch : RunStateStatus::Damaged;
        s.turntables.resize(static_cast<size_t>(gTurntableCount));
        for (StoredTurntableState& t : s.turntables) {
            t.target = r.u8();
            t.angle = r.f32();
            t.loco = r.i32();
        }
    }
    if (version >= 11)
        for (float& v : s.formulaVars) v = r.f32();
    return r.ok() ? RunStateStatus::Ok : RunStateStatus::Damaged;
}

bool runStateIndexesValid(const StoredRunState& s, int locoCount) {
    for (const StoredBlockState& b : s.blocks)
        if (!inRange(b.assigned, locoCount)) return false;
    for (const StoredTurnoutState& t : s.turnouts)
        if (!inRange(t.holder, locoCount)) return false;
    for (size_t i = 0; i < s.turntables.size(); ++i)
        if (!inRange(s.turntables[i].loco, locoCount) || s.turntables[i].target > gTurntables[static_cast<int>(i)]->positions)
            return false;
    return true;
}

bool wagonsOnLayout(const std::vector<StoredWagon>& wagons) {
    return std::all_of(wagons.begin(), wagons.end(), [](const StoredWagon& w) {
        return positionLinksValid(w.links.front) && positionLinksValid(w.links.rear);
    });
}

// Everything the trains stand on and travel by must exist in the layout, and at most 20 trains stand.
bool trainsOnLayout(const LocoFileContent& c) {
    int onTrack = 0;
    for (const StoredLoco& l : c.locos) {
        if (l.links.head.block == 0) continue;
        ++onTrack;
        if (!positionLinksValid(l.links.head) || !inRange(l.links.connection, gConnectionCount)) return false;
        if (!wagonsOnLayout(l.front) || !wagonsOnLayout(l.rear)) return false;
    }
    return onTrack <= kMaxLocsOnTrack && wagonsOnLayout(c.loose);
}

}  // namespace

LocoFileContent parseLocoFile(const std::vector<uint8_t>& bytes, int flag) {
    LocoFileContent c;
    ByteReader r(bytes);
    c.version = readVersion(r);
    if (c.version >= 5) {
        c.zoomDigit = r.ch();
        r.skip(3);
        if (c.zoomDigit < '1' || c.zoomDigit > '9') {
            c.status = LocoFileStatus::BadZoom;
            return c;
        }
    }
    if (!readLocos(r, c, flag) || !readWagonZones(r, c)) {
        c.locos.clear();
        c.loose.clear();
        c.offTrack.clear();
        c.status = LocoFileStatus::Damaged;
        return c;
    }
    c.status = LocoFileStatus::Ok;
    c.runState = readRunStateSections(r, c.version, c.run);
    if (c.runState == RunStateStatus::Ok &&
        (!runStateIndexesValid(c.run, static_cast<int>(c.locos.size())) || !trainsOnLayout(c)))
        c.runState = RunStateStatus::Damaged;
    return c;
}

bool positionLinksValid(const PositionLinks& l) {
    return l.block >= 0 && l.block <= gBlockCount && l.track >= 0 && l.track <= gTrackCount && l.turnout >= 0 &&
           l.turnout <= gTurnoutCount;
}

// 2147483520 is the largest float below 2^31.
float usableCoordinate(float v) {
    constexpr float kLimit = 2147483520.0f;
    return v == v ? std::clamp(v, -kLimit, kLimit) : 0.0f;
}

bool fixupPositionRecord(PositionRec& p, const PositionLinks& links, float factor, LocoRec* loco) {
    p.x = usableCoordinate(p.x * factor);
    p.y = usableCoordinate(p.y * factor);
    p.dx = usableCoordinate(p.dx);
    p.dy = usableCoordinate(p.dy);
    if (!positionLinksValid(links)) return false;
    p.block = gBlocks[links.block - 1];
    p.track = gTracks[links.track - 1];
    p.turnout = gTurnouts[links.turnout - 1];
    p.ix = static_cast<int32_t>(p.x);
    p.iy = static_cast<int32_t>(p.y);
    if (p.track && loco) p.track->locoOnIt = static_cast<uint8_t>(loco->slot + 1);
    return true;
}
