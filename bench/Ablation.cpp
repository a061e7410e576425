// The command line with the engine's speed layers switched one by one, for
// bench/compare.sh --ablation:
//   morvex_ablation [--path scalar|sse2|avx2|avx512] [--no-split] [--no-map]
//                   [--no-vector-format] [--no-read-ahead] option source destination
#include "CommandLine.h"
#include "fileio/FilePlatform.h"
#include "textarray/ScanPath.h"
#include "textarray/SpeedLayers.h"

#include <iostream>
#include <string_view>

namespace {

bool UsePathNamed(std::string_view name)
{
    constexpr std::string_view kNames[] = {"scalar", "sse2", "avx2", "avx512"};
    for (std::size_t n = 0; n < std::size(kNames); ++n) {
        if (name == kNames[n])
            return UseScanPath(kEveryScanPath[n]);
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    FilePlatform::NoteInheritedFiles();
    CSpeedLayers layers;
    int next = 1;
    for (; next < argc && std::string_view(argv[next]).starts_with("--"); ++next) {
        const std::string_view flag = argv[next];
        if (flag == "--path" && next + 1 < argc && UsePathNamed(argv[next + 1]))
            ++next;
        else if (flag == "--no-split")
            layers.splitScan = false;
        else if (flag == "--no-map")
            layers.mappedReads = false;
        else if (flag == "--no-vector-format")
            layers.vectorFormatters = false;
        else if (flag == "--no-read-ahead")
            layers.readAhead = false;
        else {
            std::cerr << "morvex_ablation: unknown or unavailable " << flag << '\n';
            return 2;
        }
    }
    if (argc - next != 3) {
        std::cerr << "usage: morvex_ablation [--path P] [--no-split] [--no-map] [--no-vector-format] [--no-read-ahead] "
                     "option source destination\n";
        return 2;
    }
    UseSpeedLayers(layers);
    const std::string_view conversion[] = {argv[next], argv[next + 1], argv[next + 2]};
    return RunCommandLine(conversion, std::cerr);
}
