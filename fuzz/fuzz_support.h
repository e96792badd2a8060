#pragma once
// What every harness needs once: a GUI application on the offscreen platform (fonts for the drawing)
// and a scratch working folder for the files the loaders read and write.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzzsupport {

inline void setUp() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // lives as long as the process
    static char folder[] = "/tmp/vestrel-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
    // The folder goes when the process ends normally (a finding keeps it, with the files that led to it).
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
}

inline void writeFile(const char* name, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

inline std::vector<uint8_t> readFile(const char* name) {
    std::vector<uint8_t> out;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return out;
}

// A finding when the second save differs from the first; with VESTREL_FUZZ_DUMP=<folder> both saves are
// written there (first.bin, second.bin) to be compared.
inline void expectSame(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
    if (first == second) return;
    if (const char* dump = std::getenv("VESTREL_FUZZ_DUMP")) {
        const std::string folder(dump);
        for (const auto& [name, bytes] : {std::pair{"/first.bin", &first}, std::pair{"/second.bin", &second}})
            writeFile((folder + name).c_str(), bytes->data(), bytes->size());
    }
    std::abort();
}

}  // namespace fuzzsupport
