// marlwick-cli: the editor's core without the window.
//   make-demo OUT.smc | --headerless OUT.sfc
//   info ROM --level N | --offsets H S
//   check ROM [--first N] [--last M]
//   render ROM --level N --out FILE.png [--zoom Z] [--width W --height H] [--x X --y Y]
//          [--tiles-only | --boxes-only]
//   import ROM --level N FILE.json [--in-place]
//   patch ORIGINAL MODIFIED --out FILE.bps|FILE.ips
//   apply ORIGINAL PATCH --out FILE
//   find ROM --object ID | --extended ID | --sprite ID | --name TEXT
//   test-copy ROM --level N [--at X,Y] --out FILE
//   tilemap ROM --level N | --offsets H S --out FILE
// Every command takes --defs DIR (default: the directory of this program).
// Level numbers and offsets are hexadecimal.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "editing/rom_writes.h"
#include "cli/cli_files.h"
#include "cli/render.h"
#include "definitions/definition_tables.h"
#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/level_import.h"
#include "level/level_save.h"
#include "level/level_json.h"
#include "level/level_search.h"
#include "level/rom_identity.h"
#include "patch/patch.h"
#include "util/atomic_file.h"
#include "map/level_map.h"
#include "util/atomic_file.h"
#include "platform/files.h"
#include "util/hex_text.h"
#include "util/prompter.h"

namespace {

using namespace mw;

int Usage() {
    std::cerr << "usage:\n"
                 "  marlwick-cli make-demo OUT.smc | [--headerless] OUT.sfc\n"
                 "  marlwick-cli info ROM --level N | --offsets H S\n"
                 "  marlwick-cli check ROM [--first N] [--last M]\n"
                 "  marlwick-cli render ROM --level N --out FILE.png [--zoom Z] [--width W --height H]\n"
                 "                      [--x X --y Y] [--tiles-only | --boxes-only]\n"
                 "  marlwick-cli import ROM --level N FILE.json [--in-place]\n"
                 "  marlwick-cli patch ORIGINAL MODIFIED --out FILE.bps|FILE.ips\n"
                 "  marlwick-cli apply ORIGINAL PATCH --out FILE\n"
                 "  marlwick-cli find ROM --object ID | --extended ID | --sprite ID | --name TEXT\n"
                 "  marlwick-cli test-copy ROM --level N [--at X,Y] --out FILE (X and Y decimal tiles)\n"
                 "  marlwick-cli tilemap ROM --level N | --offsets H S --out FILE\n"
                 "options: --defs DIR (the definition files; default: beside this program, else its installed data folder)\n"
                 "level numbers and offsets are hexadecimal\n";
    return 2;
}

std::string ProgramDir() { return FindDefinitionsFolder(platform::ExecutableFolder()); }

struct Args {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> options;

    bool has(const std::string& k) const { return options.count(k) != 0; }
    std::string get(const std::string& k, size_t i = 0, const std::string& dflt = "") const {
        auto it = options.find(k);
        return it != options.end() && i < it->second.size() ? it->second[i] : dflt;
    }
};

bool ParseArgs(int argc, char** argv, Args& a) {
    if (argc < 2) return false;
    a.command = argv[1];
    static const std::map<std::string, int> arity = {{"--level", 1}, {"--offsets", 2}, {"--first", 1},
                                                     {"--last", 1},  {"--out", 1},     {"--zoom", 1},
                                                     {"--width", 1}, {"--height", 1},  {"--defs", 1},
                                                     {"--in-place", 0}, {"--x", 1}, {"--y", 1},
                                                     {"--tiles-only", 0}, {"--boxes-only", 0}, {"--headerless", 0},
                                                     {"--object", 1}, {"--extended", 1}, {"--sprite", 1},
                                                     {"--name", 1}, {"--at", 1}};
    for (int i = 2; i < argc; ++i) {
        std::string s = argv[i];
        auto it = arity.find(s);
        if (it == arity.end()) {
            if (s.rfind("--", 0) == 0) {
                std::cerr << "unknown option " << s << "\n";
                return false;
            }
            a.positional.push_back(s);
            continue;
        }
        if (i + it->second >= argc) {
            std::cerr << s << " needs " << it->second << " value(s)\n";
            return false;
        }
        std::vector<std::string>& values = a.options[s];
        for (int k = 0; k < it->second; ++k) values.push_back(argv[++i]);
    }
    return true;
}

// A hexadecimal option value of 1 to 8 digits no larger than `max`; a value
// given but not of that form is a usage error that names the option.
bool HexOption(const Args& a, const std::string& name, size_t i, uint32_t max, uint32_t dflt, uint32_t& out) {
    if (!a.has(name)) {
        out = dflt;
        return true;
    }
    const std::string text = a.get(name, i);
    const auto value = ParseHexDigits(text, 8);
    if (value && *value <= max) {
        out = *value;
        return true;
    }
    std::cerr << "marlwick-cli: " << name << " takes a hexadecimal number from 0 to " << ToHex(max) << ", not \""
              << text << "\"\n";
    return false;
}
constexpr uint32_t kLastLevel = kLevelCount - 1;
constexpr uint32_t kLastOffset = 0xFFFFFF;  // no ROM file is larger than 16 MiB

// The directory of the definition files: --defs, or the program's own.
std::string DefsDir(const Args& a) { return a.get("--defs", 0, ProgramDir()); }

bool LoadTables(const Args& a, DefinitionTables& defs) {
    if (auto err = LoadDefinitions(DefsDir(a), defs)) {
        std::cerr << "marlwick-cli: cannot read the definition files: " << err->describe() << "\n";
        return false;
    }
    return true;
}

bool OpenRom(const Args& a, RomFile& rom) {
    if (a.positional.empty()) {
        std::cerr << "marlwick-cli: no ROM file given\n";
        return false;
    }
    return OpenCommandRom(a.positional[0], rom);
}

int MakeDemo(const Args& a) {
    if (a.positional.size() != 1) return Usage();
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    std::vector<FreeBlock> blocks;
    if (auto e = ReadFreeSpace(DefsDir(a), blocks)) {
        std::cerr << "marlwick-cli: " << e->describe() << "\n";
        return 1;
    }
    std::vector<uint8_t> bytes = BuildDemoRom(defs, blocks);
    // Without the copier header when asked, or when the name says ".sfc".
    if (a.has("--headerless") || platform::LowerCaseExtension(a.positional[0]) == ".sfc") bytes.erase(bytes.begin(), bytes.begin() + kCopierHeaderSize);
    if (!WriteOutputFile(a.positional[0], bytes)) return 1;
    std::cout << "Wrote the demo ROM to " << a.positional[0] << " (" << bytes.size() << " bytes)\n";
    return 0;
}

int Info(const Args& a) {
    if (a.positional.size() != 1 || (a.has("--level") == a.has("--offsets"))) return Usage();
    uint32_t level = 0, header = 0, sprites = 0;
    if (!HexOption(a, "--level", 0, kLastLevel, 0, level) || !HexOption(a, "--offsets", 0, kLastOffset, 0, header) ||
        !HexOption(a, "--offsets", 1, kLastOffset, 0, sprites))
        return 2;
    // The JSON is printed whatever happens; what went wrong is in its messages.
    RecordingPrompter prompter;
    LevelState state;
    LoadResult r = LoadResult::Refused;
    DefinitionTables defs;
    RomFile rom;
    std::string error;
    if (auto err = LoadDefinitions(DefsDir(a), defs)) {
        prompter.message("Marlwick", "Cannot read the definition files: " + err->describe());
    } else if (!rom.open(a.positional[0], error)) {
        prompter.message("Marlwick", "Cannot open " + a.positional[0] + ": " + error);
    } else {
        if (std::optional<std::string> warning = RomIdentityWarning(rom.bytes())) prompter.message("Marlwick", *warning);
        // Offsets typed and shown are the file's own.
        LevelLoad load = a.has("--level") ? LoadLevelIndex(rom, defs, static_cast<int32_t>(level))
                                          : LoadLevelOffset(rom, defs, static_cast<int32_t>(rom.SmcOffset(header)),
                                                            static_cast<int32_t>(rom.SmcOffset(sprites)));
        ShowMessages(prompter, load.messages);
        r = load.result;
        state = std::move(load.level);
        if (r == LoadResult::Loaded) {
            state.headerOffset = static_cast<int32_t>(rom.DiskOffset(state.headerOffset));
            state.spriteOffset = static_cast<int32_t>(rom.DiskOffset(state.spriteOffset));
        }
    }
    if (r != LoadResult::Loaded) state = LevelState{};
    std::cout << LevelToJson(state, prompter.messages);
    return r == LoadResult::Loaded ? 0 : 1;
}

int Check(const Args& a) {
    if (a.positional.size() != 1) return Usage();
    uint32_t first = 0, last = 0;
    if (!HexOption(a, "--first", 0, kLastLevel, 0, first) || !HexOption(a, "--last", 0, kLastLevel, kLastLevel, last))
        return 2;
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    RomFile rom;
    if (!OpenRom(a, rom)) return 1;
    int ok = 0, failed = 0;
    for (uint32_t n = first; n <= last; ++n) {
        const LevelLoad load = LoadLevelIndex(rom, defs, static_cast<int32_t>(n));
        const LoadResult r = load.result;
        const LevelState& state = load.level;
        std::string problem;
        if (r != LoadResult::Loaded) {
            problem = "not loaded";
        } else {
            problem = CompareWithFile(rom, defs, state);
        }
        for (const auto& m : load.messages) problem += (problem.empty() ? "" : "; ") + m.title + ": " + m.text;
        for (char& c : problem)
            if (c == '\n') c = ' ';
        if (r == LoadResult::Loaded && problem.empty()) {
            ++ok;
            std::printf("level %s: ok (objects %d/%d bytes, sprites %d/%d bytes, exits %d)\n", ToHex(static_cast<uint32_t>(n)).c_str(),
                        state.objectBytesUsed, state.objectBytesAvailable, state.spriteBytesUsed,
                        state.spriteBytesAvailable, static_cast<int>(state.exitList.size()));
        } else {
            ++failed;
            std::printf("level %s: FAILED: %s\n", ToHex(static_cast<uint32_t>(n)).c_str(), problem.c_str());
        }
    }
    std::printf("%d levels checked: %d ok, %d failed\n", ok + failed, ok, failed);
    return failed == 0 ? 0 : 1;
}

bool Decimal(const std::string& text, int& out) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoi(text);
    return true;
}

int Render(const Args& a) {
    if (a.positional.size() != 1 || !a.has("--level") || !a.has("--out")) return Usage();
    int zoom = 0, width = 0, height = 0;
    if (!Decimal(a.get("--zoom", 0, "16"), zoom) || !Decimal(a.get("--width", 0, "1024"), width) ||
        !Decimal(a.get("--height", 0, "512"), height) || zoom < 1 || zoom > 64 || width < 1 || height < 1 ||
        width > 16384 || height > 16384) {
        std::cerr << "marlwick-cli: --zoom takes 1 to 64, --width and --height 1 to 16384 (decimal)\n";
        return 2;
    }
    uint32_t level = 0;
    if (!HexOption(a, "--level", 0, kLastLevel, 0, level)) return 2;
    RenderOptions options;
    options.zoom = zoom;
    options.width = width;
    options.height = height;
    if (a.has("--tiles-only") && a.has("--boxes-only")) {
        std::cerr << "marlwick-cli: --tiles-only and --boxes-only exclude each other\n";
        return 2;
    }
    if (a.has("--tiles-only")) options.layers = RenderOptions::Layers::TilesOnly;
    if (a.has("--boxes-only")) options.layers = RenderOptions::Layers::BoxesOnly;
    if (a.has("--x") != a.has("--y")) {
        std::cerr << "marlwick-cli: --x and --y go together\n";
        return 2;
    }
    if (a.has("--x")) {
        options.hasOrigin = true;
        if (!Decimal(a.get("--x"), options.x) || !Decimal(a.get("--y"), options.y) || options.x < 0 ||
            options.x > 255 || options.y < 0 || options.y > 127) {
            std::cerr << "marlwick-cli: --x takes a tile column from 0 to 255 and --y a row from 0 to 127 (decimal)\n";
            return 2;
        }
    }
    return RenderCommand(a.positional[0], static_cast<int>(level), a.get("--out"), options, DefsDir(a));
}

void PrintMessages(std::ostream& out, const std::vector<PromptMessage>& messages) {
    for (const PromptMessage& m : messages) out << m.title << ": " << m.text << "\n";
}

int Import(const Args& a) {
    if (a.positional.size() != 2 || !a.has("--level")) return Usage();
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    RomFile rom;
    if (!OpenRom(a, rom)) return 1;
    const std::string& jsonPath = a.positional[1];
    uint32_t index = 0;
    if (!HexOption(a, "--level", 0, kLastLevel, 0, index)) return 2;
    auto refuse = [&](const std::string& why) {
        std::cerr << "marlwick-cli: " << why << "\nNothing was written.\n";
        return 1;
    };

    LevelLoad loading = LoadLevelIndex(rom, defs, static_cast<int32_t>(index));
    if (!loading.loaded()) {
        PrintMessages(std::cerr, loading.messages);
        return refuse("level " + ToHex(index) + " could not be loaded.");
    }
    LevelState& level = loading.level;
    // Only a regular file no longer than a level's JSON can be is read.
    bool missing = false;
    std::string error;
    const auto bytes = ReadWholeFile(jsonPath, missing, error, static_cast<int64_t>(kMaxLevelJsonBytes));
    if (!bytes) return refuse("cannot read " + jsonPath + ": " + error + ".");
    const std::string text(bytes->begin(), bytes->end());
    LevelContent content;
    if (auto why = ParseLevelJson(text, defs, content)) return refuse(jsonPath + ": " + *why);
    if (auto why = ApplyLevelContent(defs, content, level)) return refuse(jsonPath + ": " + *why);

    // The level moves when it has outgrown its place, unless --in-place.
    std::vector<FreeBlock> blocks;
    if (auto e = ReadRoomForLevels(DefsDir(a), blocks)) std::cerr << "marlwick-cli: " << e->describe() << "\n";
    RecordingPrompter saving;
    saving.answer = !a.has("--in-place");
    const bool saved = SaveLevel(rom, defs, level, saving, blocks).done();
    if (!saved && !saving.answer && !saving.questions.empty())
        return refuse(saving.questions[0].text.substr(0, saving.questions[0].text.find('\n')) +
                      " --in-place keeps it from moving.");
    PrintMessages(saved ? std::cout : std::cerr, saving.messages);
    return saved ? 0 : 1;
}

// Patches are made between the images without the copier header, so one
// patch serves either layout.
int Patch(const Args& a) {
    if (a.positional.size() != 2 || !a.has("--out")) return Usage();
    const std::optional<PatchFormat> format = PatchFormatOf(a.get("--out"));
    if (!format) {
        std::cerr << "marlwick-cli: --out names the patch: FILE.bps or FILE.ips\n";
        return 2;
    }
    RomFile original, modified;
    if (!OpenCommandRom(a.positional[0], original) || !OpenCommandRom(a.positional[1], modified)) return 1;
    const PatchOutcome patch = MakePatch(*format, original.Image(), modified.Image());
    if (!patch.ok()) {
        std::cerr << "marlwick-cli: no patch was made: " << patch.error << ".\nNothing was written.\n";
        return 1;
    }
    if (!WriteOutputFile(a.get("--out"), patch.bytes)) return 1;
    std::cout << "Wrote the " << PatchFormatName(*format) << " patch " << a.get("--out") << " (" << patch.bytes.size()
              << " bytes)\n";
    return 0;
}

int Apply(const Args& a) {
    if (a.positional.size() != 2 || !a.has("--out")) return Usage();
    RomFile original;
    if (!OpenCommandRom(a.positional[0], original)) return 1;
    bool missing = false;
    std::string error;
    const std::optional<std::vector<uint8_t>> patch = ReadWholeFile(a.positional[1], missing, error, 2 * kMaxPatchImage);
    if (!patch) {
        std::cerr << "marlwick-cli: cannot read " << a.positional[1] << ": " << error << "\n";
        return 1;
    }
    const PatchOutcome patched = ApplyPatch(original.Image(), *patch);
    if (!patched.ok()) {
        std::cerr << "marlwick-cli: " << a.positional[1] << " cannot be applied to " << a.positional[0] << ": "
                  << patched.error << ".\nNothing was written.\n";
        return 1;
    }
    // The patched file in the original's layout.
    const std::vector<uint8_t> file = original.FileWithImage(patched.bytes);
    if (!WriteOutputFile(a.get("--out"), file)) return 1;
    std::cout << "Wrote " << a.get("--out") << " (" << file.size() << " bytes)\n";
    return 0;
}

// The level's map16 grid as the game's code builds it: 128 rows of 256
// little-endian words, 0 on the screens the level does not use.
int Tilemap(const Args& a) {
    if (a.positional.size() != 1 || (a.has("--level") == a.has("--offsets")) || !a.has("--out")) return Usage();
    uint32_t level = 0, header = 0, sprites = 0;
    if (!HexOption(a, "--level", 0, kLastLevel, 0, level) || !HexOption(a, "--offsets", 0, kLastOffset, 0, header) ||
        !HexOption(a, "--offsets", 1, kLastOffset, 0, sprites))
        return 2;
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    RomFile rom;
    if (!OpenRom(a, rom)) return 1;
    const LevelLoad loading = a.has("--level") ? LoadLevelIndex(rom, defs, static_cast<int32_t>(level))
                                               : LoadLevelOffset(rom, defs, static_cast<int32_t>(rom.SmcOffset(header)),
                                                                 static_cast<int32_t>(rom.SmcOffset(sprites)));
    const LevelState& state = loading.level;
    if (!loading.loaded()) {
        PrintMessages(std::cerr, loading.messages);
        std::cerr << "marlwick-cli: the level could not be loaded; nothing was written.\n";
        return 1;
    }
    LevelMapper mapper;
    const LevelMap map = mapper.make(rom, defs, state);
    if (!map.made) {
        std::cerr << "marlwick-cli: " << map.reason << "\nNothing was written.\n";
        return 1;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(map.cells.size() * 2);
    for (uint16_t n : map.cells) {
        bytes.push_back(static_cast<uint8_t>(n));
        bytes.push_back(static_cast<uint8_t>(n >> 8));
    }
    if (!WriteOutputFile(a.get("--out"), bytes)) return 1;
    std::cout << DescribeMap(map) << "\n";
    return 0;
}

int Find(const Args& a) {
    const char* kinds[] = {"--object", "--extended", "--sprite", "--name"};
    int given = 0;
    for (const char* k : kinds) given += a.has(k) ? 1 : 0;
    if (a.positional.size() != 1 || given != 1) return Usage();
    FindQuery query;
    uint32_t id = 0;
    if (a.has("--name")) {
        query.kind = FindQuery::Kind::Name;
        query.text = a.get("--name");
    } else if (a.has("--sprite")) {
        query.kind = FindQuery::Kind::Sprite;
        if (!HexOption(a, "--sprite", 0, 0x1FF, 0, id)) return 2;
    } else {
        query.kind = a.has("--object") ? FindQuery::Kind::Object : FindQuery::Kind::Extended;
        if (!HexOption(a, a.has("--object") ? "--object" : "--extended", 0, 0xFF, 0, id)) return 2;
    }
    query.id = static_cast<int>(id);
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    RomFile rom;
    if (!OpenRom(a, rom)) return 1;
    for (const FindHit& hit : FindInAllLevels(rom, defs, query))
        std::cout << "level " << ToHex(static_cast<uint32_t>(hit.level)) << ", entry "
                  << ToHex(static_cast<uint32_t>(hit.entry)) << " at " << ToHex(static_cast<uint32_t>(hit.x)) << ","
                  << ToHex(static_cast<uint32_t>(hit.y)) << ": " << hit.caption << "\n";
    return 0;
}

// The image saving would write, with the first course starting in the level.
int TestCopy(const Args& a) {
    if (a.positional.size() != 1 || !a.has("--level") || !a.has("--out")) return Usage();
    uint32_t index = 0;
    if (!HexOption(a, "--level", 0, kLastLevel, 0, index)) return 2;
    std::optional<StartTile> tile;
    if (a.has("--at")) {
        tile = ParseStartTile(a.get("--at"));
        if (!tile) {
            std::cerr << "marlwick-cli: --at takes X,Y in tiles (decimal), X 0 to 255 and Y 0 to 127, not \""
                      << a.get("--at") << "\"\n";
            return 2;
        }
    }
    DefinitionTables defs;
    if (!LoadTables(a, defs)) return 1;
    RomFile rom;
    if (!OpenRom(a, rom)) return 1;
    const LevelLoad load = LoadLevelIndex(rom, defs, static_cast<int32_t>(index));
    if (!load.loaded()) {
        PrintMessages(std::cerr, load.messages);
        std::cerr << "marlwick-cli: level " << ToHex(index) << " could not be loaded; nothing was written.\n";
        return 1;
    }
    if (!tile) tile = DefaultStartTile(rom, defs, load.level);
    if (!tile) {
        std::cerr << "marlwick-cli: no course starts in level " << ToHex(index)
                  << " and no screen exit leads into it; give the start tile with --at X,Y.\nNothing was written.\n";
        return 1;
    }
    std::vector<FreeBlock> blocks;
    if (auto e = ReadRoomForLevels(DefsDir(a), blocks)) std::cerr << "marlwick-cli: " << e->describe() << "\n";
    const TestImage image = MakeTestImage(rom, defs, load.level, blocks, *tile);
    if (!image.error.empty()) {
        std::cerr << "marlwick-cli: " << image.error << "\nNothing was written.\n";
        return 1;
    }
    if (!WriteOutputFile(a.get("--out"), image.file)) return 1;
    std::cout << "Wrote " << a.get("--out") << ": the first course starts in level " << ToHex(index) << " at tile ("
              << tile->x << ", " << tile->y << ")\n";
    return 0;
}

int Run(const Args& a) {
    if (a.command == "make-demo") return MakeDemo(a);
    if (a.command == "info") return Info(a);
    if (a.command == "check") return Check(a);
    if (a.command == "render") return Render(a);
    if (a.command == "import") return Import(a);
    if (a.command == "patch") return Patch(a);
    if (a.command == "apply") return Apply(a);
    if (a.command == "find") return Find(a);
    if (a.command == "test-copy") return TestCopy(a);
    if (a.command == "tilemap") return Tilemap(a);
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    Args a;
    if (!ParseArgs(argc, argv, a)) return Usage();
    const int status = Run(a);
    // What went to standard output is part of the result (info's JSON): a
    // failed write there (a full disk, /dev/full) is a failure too.
    errno = 0;
    std::cout.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !std::cout) {
        std::cerr << "marlwick-cli: writing to standard output failed: "
                  << (errno != 0 ? std::strerror(errno) : "unknown error") << "\n";
        return status == 0 ? 1 : status;
    }
    return status;
}
