#include "operation/model/train_codec.h"

#include "operation/model/route_file.h"

#include <algorithm>
#include <cstring>

using vestrel::ByteReader;
using vestrel::ByteWriter;

void writeFixedText(ByteWriter& w, const std::string& s, int size) {
    const size_t n = std::min(s.size(), static_cast<size_t>(size - 1));
    w.bytes(s.data(), n);
    w.zeros(static_cast<size_t>(size) - n);
}

std::string readFixedText(ByteReader& r, int size) {
    std::string s(static_cast<size_t>(size), '\0');
    r.bytes(s.data(), s.size());
    s.resize(std::min(std::strlen(s.c_str()), static_cast<size_t>(size - 1)));
    return s;
}

void encodePosition(ByteWriter& w, const PositionRec& p, const PositionLinks& links) {
    w.f32(p.x);
    w.f32(p.y);
    w.f32(p.dx);
    w.f32(p.dy);
    w.i32(p.sectionA);
    w.i32(p.sectionB);
    w.i32(p.ix);
    w.i32(p.iy);
    w.i32(links.block);
    w.i32(links.track);
    w.i32(links.turnout);
}

bool decodePosition(ByteReader& r, PositionRec& p, PositionLinks& links) {
    p.x = r.f32();
    p.y = r.f32();
    p.dx = r.f32();
    p.dy = r.f32();
    p.sectionA = r.i32();
    p.sectionB = r.i32();
    p.ix = r.i32();
    p.iy = r.i32();
    links.block = r.i32();
    links.track = r.i32();
    links.turnout = r.i32();
    clearElements(p);
    return r.ok();
}

PositionLinks positionPointersToIndexes(const PositionRec& p) {
    return {blockIndexOf(p.block) + 1, trackIndexOf(p.track) + 1, turnoutIndexOf(p.turnout) + 1};
}

LocoLinks locoLinksOf(const LocoRec& loco) {
    LocoLinks l;
    l.connection = loco.connection ? gConnections.indexOf(loco.connection) + 1 : 0;
    l.route = loco.route ? routeIndexOf(loco.route) + 1 : 0;
    l.head = positionPointersToIndexes(loco.run.head);
    l.frontChain = loco.frontChain != nullptr;
    l.rearChain = loco.rearChain != nullptr;
    l.packetCache = loco.packetCache != nullptr;
    l.blockCorrections = !loco.blockCorrections.empty();
    l.speedTable = 1;
    l.helperWagon = loco.helperWagon != nullptr;
    return l;
}

WagonLinks wagonLinksOf(const WagonRec& wagon, bool withPositions) {
    WagonLinks l;
    if (withPositions) {
        l.front = positionPointersToIndexes(wagon.front);
        l.rear = positionPointersToIndexes(wagon.rear);
    }
    l.next = wagon.next != nullptr;
    l.previous = wagon.previous != nullptr;
    l.owner = wagon.owner != nullptr;
    return l;
}

namespace {

void encodeRunBlock(ByteWriter& w, const LocoRunRec& run, const PositionLinks& head) {
    encodePosition(w, run.head, head);
    w.i32(run.currentLine);
    w.u8(run.runFlagsA);
    w.u8(run.runFlagsB);
    w.u8(run.distanceCounter);
    w.u8(run.functionBits1);
    w.u8(run.functionBits2);
    w.u8(run.functionBits3);
    w.u8(run.lastStepSent);
    w.i8(run.speedCorrection);
    w.i16(run.maxSpeed);
    w.bytes(run.spare, sizeof run.spare);
    w.i16(run.speedSteps);
    w.f32(run.kmHeadingH);
    w.f32(run.kmTotal);
    w.f32(run.kmDay);
    writeFixedText(w, run.photo, kPhotoNameSize);
}

void decodeRunBlock(ByteReader& r, LocoRunRec& run, PositionLinks& head) {
    decodePosition(r, run.head, head);
    run.currentLine = r.i32();
    run.runFlagsA = r.u8();
    run.runFlagsB = r.u8();
    run.distanceCounter = r.u8();
    run.functionBits1 = r.u8();
    run.functionBits2 = r.u8();
    run.functionBits3 = r.u8();
    run.lastStepSent = r.u8();
    run.speedCorrection = r.i8();
    run.maxSpeed = r.i16();
    r.bytes(run.spare, sizeof run.spare);
    run.speedSteps = r.i16();
    run.kmHeadingH = r.f32();
    run.kmTotal = r.f32();
    run.kmDay = r.f32();
    run.photo = readFixedText(r, kPhotoNameSize);
}

}  // namespace

void encodeLoco(ByteWriter& w, const LocoRec& loco, const LocoLinks& links) {
    w.i32(links.connection);
    w.i32(links.route);
    w.i16(loco.number);
    w.i16(loco.slot);
    w.u8(loco.running);
    w.u8(loco.mode);
    w.ch(loco.heading);
    w.ch(loco.direction);
    w.u8(loco.holdCountdown);
    w.u8(loco.contactRole);
    w.u8(loco.acceleration);
    w.u8(loco.flags);
    w.i16(loco.shownSpeed);
    w.i16(loco.speedValue);
    w.i16(loco.targetStep);
    w.i16(loco.currentStep);
    w.i16(loco.lastAngle);
    w.i16(loco.effectiveStepDelay);
    w.i16(loco.stepDelay);
    w.i16(loco.maxStep);
    w.i32(loco.nextStepTime);
    encodeRunBlock(w, loco.run, links.head);
    writeFixedText(w, loco.name, kLocoNameSize);
    w.u8(loco.motor);
    w.u8(loco.kind);
    w.u8(loco.decoderType);
    w.bytes(loco.reserved1, sizeof loco.reserved1);
    w.i16(loco.trainLength);
    w.bytes(loco.reserved2, sizeof loco.reserved2);
    w.u32(links.frontChain);
    w.u32(links.rearChain);
    w.u32(links.packetCache);
    w.u32(links.blockCorrections);
    w.u32(links.speedTable);
    w.u32(links.helperWagon);
}

bool decodeLoco(ByteReader& r, LocoRec& loco, LocoLinks& links) {
    links.connection = r.i32();
    links.route = r.i32();
    loco.connection = nullptr;
    loco.route = nullptr;
    loco.number = r.i16();
    loco.slot = r.i16();
    loco.running = r.u8();
    loco.mode = r.u8();
    loco.heading = r.ch();
    loco.direction = r.ch();
    loco.holdCountdown = r.u8();
    loco.contactRole = r.u8();
    loco.acceleration = r.u8();
    loco.flags = r.u8();
    loco.shownSpeed = r.i16();
    loco.speedValue = r.i16();
    loco.targetStep = r.i16();
    loco.currentStep = r.i16();
    loco.lastAngle = r.i16();
    loco.effectiveStepDelay = r.i16();
    loco.stepDelay = r.i16();
    loco.maxStep = r.i16();
    loco.nextStepTime = r.i32();
    decodeRunBlock(r, loco.run, links.head);
    loco.name = readFixedText(r, kLocoNameSize);
    loco.motor = r.u8();
    loco.kind = r.u8();
    loco.decoderType = r.u8();
    r.bytes(loco.reserved1, sizeof loco.reserved1);
    loco.trainLength = r.i16();
    r.bytes(loco.reserved2, sizeof loco.reserved2);
    links.frontChain = r.u32();
    links.rearChain = r.u32();
    links.packetCache = r.u32();
    links.blockCorrections = r.u32();
    links.speedTable = r.u32();
    links.helperWagon = r.u32();
    loco.frontChain = loco.rearChain = loco.helperWagon = nullptr;
    loco.packetCache.reset();
    loco.blockCorrections.clear();
    return r.ok();
}

void encodeWagon(ByteWriter& w, const WagonRec& wagon, const WagonLinks& links) {
    encodePosition(w, wagon.front, links.front);
    encodePosition(w, wagon.rear, links.rear);
    w.u8(wagon.lengthUnits);
    w.ch(wagon.kind);
    w.bytes(wagon.spare1, sizeof wagon.spare1);
    w.u32(links.next);
    w.u32(links.previous);
    w.u32(links.owner);
    w.i32(wagon.number);
    w.u32(wagon.weight);
    writeFixedText(w, wagon.photo, kPhotoNameSize);
    writeFixedText(w, wagon.description, kWagonDescriptionSize);
    w.u8(wagon.lengthCm);
    w.u8(wagon.percent);
    w.u8(wagon.spare2);
    w.u8(wagon.slot);
}

bool decodeWagon(ByteReader& r, WagonRec& wagon, WagonLinks& links) {
    decodePosition(r, wagon.front, links.front);
    decodePosition(r, wagon.rear, links.rear);
    wagon.lengthUnits = r.u8();
    wagon.kind = r.ch();
    r.bytes(wagon.spare1, sizeof wagon.spare1);
    links.next = r.u32();
    links.previous = r.u32();
    links.owner = r.u32();
    wagon.next = wagon.previous = nullptr;
    wagon.owner = nullptr;
    wagon.number = r.i32();
    wagon.weight = r.u32();
    wagon.photo = readFixedText(r, kPhotoNameSize);
    wagon.description = readFixedText(r, kWagonDescriptionSize);
    wagon.lengthCm = r.u8();
    wagon.percent = r.u8();
    wagon.spare2 = r.u8();
    wagon.slot = r.u8();
    return r.ok();
}
