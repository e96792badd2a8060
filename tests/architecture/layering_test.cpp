// The folders of src/ are layers, and the includes keep them apart:
// - platform/ stands in for the operating system and knows none of the program's subsystems;
// - a model/ folder (records, tables, codecs, files, pure geometry) knows no window: it includes only
//   platform/ and other model/ folders, and no Qt widget header;
// - a draw/ folder draws the model and knows no editor, dialog or shell (apart from the shell's model).
// A broken rule names the file, its line and the include.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kSubsystems[] = {"layout/", "shell/", "operation/", "link/", "steps/", "network/", "anim/"};

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }
bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

bool isModelPath(const std::string& p) { return startsWith(p, "platform/") || contains(p, "/model/"); }

// Why the include breaks a rule for a file at path (relative to src/), or "" when it keeps them.
std::string brokenRule(const std::string& path, const std::string& include, bool quoted) {
    if (startsWith(path, "platform/")) {
        if (!quoted) return "";
        for (const char* sub : kSubsystems)
            if (startsWith(include, sub)) return "platform/ includes no subsystem";
        return "";
    }
    if (contains("/" + path, "/model/")) {
        if (!quoted) {
            const bool widget = startsWith(include, "QtWidgets") || startsWith(include, "QWidget") ||
                                startsWith(include, "QDialog") || startsWith(include, "QMainWindow") ||
                                startsWith(include, "QApplication") || startsWith(include, "QLabel");
            return widget ? "model/ includes no window" : "";
        }
        if (contains(include, "/") && !isModelPath(include))
            return "model/ includes only platform/ and model/ folders";
        return "";
    }
    if (contains("/" + path, "/draw/") && quoted) {
        if (contains(include, "/editor/") || contains(include, "/dialogs/") ||
            (startsWith(include, "shell/") && !startsWith(include, "shell/model/")))
            return "draw/ includes no editor, dialogs or shell";
    }
    return "";
}

std::vector<std::string> layeringViolations(const fs::path& src) {
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        const std::string path = fs::relative(entry.path(), src).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            std::smatch m;
            if (!std::regex_search(line, m, includeLine)) continue;
            const std::string why = brokenRule(path, m[2], m[1] == "\"");
            if (!why.empty()) found.push_back(path + ":" + std::to_string(n) + ": #include " + m[1].str() + m[2].str() +
                                              (m[1] == "\"" ? "\"" : ">") + "  (" + why + ")");
        }
    }
    return found;
}

}  // namespace

TEST(Layering, SourceFoldersKeepTheirLayers) {
    const auto violations = layeringViolations(VESTREL_SOURCE_DIR);
    std::string report;
    for (const auto& v : violations) report += v + "\n";
    EXPECT_TRUE(violations.empty()) << report;
}

TEST(Layering, EachRuleIsCaught) {
    struct Case {
        const char* file;
        const char* include;
        bool quoted;
        bool broken;
    };
    const Case cases[] = {
        {"platform/canvas.cpp", "layout/model/layout_model.h", true, true},
        {"platform/canvas.cpp", "platform/byte_io.h", true, false},
        {"layout/model/scale.cpp", "shell/config/messages.h", true, true},
        {"layout/model/scale.cpp", "operation/model/length_units.h", true, false},
        {"layout/model/scale.cpp", "QWidget", false, true},
        {"layout/model/scale.cpp", "cmath", false, false},
        {"layout/draw/render.cpp", "layout/editor/editor_state.h", true, true},
        {"layout/draw/render.cpp", "shell/window/untSchema.h", true, true},
        {"layout/draw/render.cpp", "shell/model/app_state.h", true, false},
        {"layout/editor/track_entry.cpp", "shell/window/untSchema.h", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!brokenRule(c.file, c.include, c.quoted).empty(), c.broken) << c.file << " " << c.include;
}
