#include "map/level_map.h"

#include "level/level_codec.h"
#include "level/level_save.h"
#include "level/rom_layout.h"
#include "level/room.h"
#include "snes/cpu.h"

namespace mw {

namespace {

constexpr uint32_t kScreenTable = 0x0CAA;     // in cartridge RAM ($70:0CAA)
constexpr uint32_t kMap16Buffer = 0x18000;    // in work RAM ($7F:8000)
constexpr uint32_t kSlotBytes = 0x200;
constexpr uint32_t kLevelPointerDp = 0x32;    // the loader reads the level through [$32]
constexpr uint32_t kReturnSentinel = 0x002000;  // never code: the run ends when RTL lands here

LevelMap Refused(std::string reason) {
    LevelMap map;
    map.reason = std::move(reason);
    return map;
}

}  // namespace

LevelMapper::LevelMapper() = default;
LevelMapper::~LevelMapper() = default;

MapRequest PrepareMap(const RomFile& rom, const DefinitionTables& defs, const LevelState& level,
                      const std::vector<FreeBlock>& freeBlocks) {
    MapRequest request;
    request.file = rom.bytes();
    request.generation = rom.generation();
    if (!level.hasHeader) {
        request.refusal = "The level has no header: the game draws it through its own path, not its level loader";
        return request;
    }
    // The level as edited, at the level's own place, read through the
    // pointer's view of the ROM; it must not run past its bank, because the
    // loader's reads would leave the ROM there. A level that has grown past
    // its bank end is read from where a save would move it instead.
    BankMapping mapping = BankMapping::LoRom;
    if (level.tableIndex >= 0) {
        if (auto bank = rom.byteAt(kLevelPointerTable + 6 * int64_t(level.tableIndex) + 2)) mapping = MappingOfBank(*bank);
    }
    request.linear = mapping == BankMapping::Linear;
    request.stream = BuildObjectRegion(defs, level);
    request.fileOffset = level.headerOffset;
    const int64_t at = level.headerOffset;
    if (rom.size() <= kCopierHeaderSize || at < kCopierHeaderSize || at >= rom.size())
        request.refusal = "The level's place lies outside the ROM image";
    else if (at + int64_t(request.stream.size()) > BankEndOffset(at, mapping)) {
        // Moved, the stream fills its new place exactly and ends its exits itself.
        LevelState moved = level;
        moved.objectBytesAvailable = 0;
        moved.ownsExitEndMarker = true;
        request.stream = BuildObjectRegion(defs, moved);
        // Where a save would move it: its own old place counts as free.
        std::vector<uint8_t> freed = rom.bytes();
        LiveMap map(freed, defs);
        std::vector<MovingStream> moving;
        if (level.tableIndex >= 0) moving.push_back({false, at, at + ObjectPlaceLength(level)});
        const auto runs = FreeRunsForMove(freed, freeBlocks, map, level.tableIndex, moving);
        if (auto place = Allocate(runs, int64_t(request.stream.size()), at)) {
            request.fileOffset = place->begin;
            request.linear = place->linear;
        } else {
            request.refusal = "The level's data runs past the end of its ROM bank";
        }
    }
    return request;
}

LevelMap LevelMapper::run(const MapRequest& request) {
    if (!request.refusal.empty()) return Refused(request.refusal);
    if (!bus_ || generation_ != request.generation) {
        bus_ = std::make_unique<snes::Bus>(request.file.subspan(kCopierHeaderSize));
        generation_ = request.generation;
    }
    snes::Bus& bus = *bus_;
    bus.restoreRom();
    const int64_t at = request.fileOffset;
    if (!bus.patchRom(static_cast<uint32_t>(at - kCopierHeaderSize), request.stream))
        return Refused("The level's data runs past the end of the ROM image");

    // The machine as the loader expects it (native mode, 8-bit registers,
    // D = 0, RAM zeroed apart from the level pointer), with a return
    // address that ends the run.
    bus.clearRam();
    const auto pointer = PointerTo(at, request.linear);
    for (int i = 0; i < 3; ++i) bus.wram()[kLevelPointerDp + i] = pointer[i];
    snes::Cpu cpu(bus);
    snes::Registers& r = cpu.regs();
    r.e = false;
    r.p = snes::kFlagM | snes::kFlagX | snes::kFlagI;
    r.s = 0x01FF;
    cpu.push8(uint8_t(kReturnSentinel >> 16));
    cpu.push8(uint8_t((kReturnSentinel - 1) >> 8));
    cpu.push8(uint8_t(kReturnSentinel - 1));
    r.pb = uint8_t(kLoaderEntry >> 16);
    r.pc = uint16_t(kLoaderEntry);
    cpu.setStopAddresses(kReturnSentinel, kLoaderHang);
    const snes::RunResult run = cpu.run(budget_);

    LevelMap map;
    map.instructions = run.instructions;
    const std::string unfinished = "The level's code did not finish: ";
    if (run.stop == snes::RunResult::Stop::Budget)
        return Refused(unfinished + "it was still running after " + std::to_string(budget_) + " instructions");
    if (run.stop == snes::RunResult::Stop::Fault) return Refused(unfinished + run.message);
    if (run.pc == kLoaderHang)
        return Refused(unfinished + "it reached the game's \"level too big\" stop at " + snes::FormatAddress(kLoaderHang));

    map.made = true;
    map.cells.assign(size_t(kMapRows) * kMapColumns, 0);
    const auto cart = bus.cartRam();
    const auto wram = bus.wram();
    for (int screen = 0; screen < 128; ++screen) {
        const uint32_t slot = cart[kScreenTable + screen] & 0x3F;
        if (slot == 0) continue;
        ++map.screens;
        const uint32_t base = kMap16Buffer + slot * kSlotBytes;
        const int left = (screen & 15) * 16, top = (screen >> 4) * 16;
        for (int i = 0; i < 256; ++i) {
            const uint16_t n = uint16_t(wram[base + 2 * i] | (wram[base + 2 * i + 1] << 8));
            map.cells[size_t(top + (i >> 4)) * kMapColumns + left + (i & 15)] = n;
        }
    }
    return map;
}

std::string DescribeMap(const LevelMap& map) {
    if (map.made) return "Map: made by the game's code, " + std::to_string(map.screens) + " screens";
    return "Map: " + map.reason;
}

}  // namespace mw
