#include "level/demo_loader.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "level/rom_layout.h"

namespace mw {

// What the demo loader draws (map16 numbers; the demo's tiles are drawn for
// exactly these):
//   $0000 empty                 $0100 ground fill        $0101 ground top (grass)
//   $0102 brick                 $0103/$0104/$0105 platform left end, middle, right end
//   $0106/$0107 pipe body left, right   $0108/$0109 pipe top left, right
//   $010A a generic block
// Patterns by object ID:
//   01, 04-09 (land, slopes)    a rectangle of ground: grass on its top row, fill below
//   02, 03 (cliffs)             a rectangle of brick
//   0D (thin platform)          one row: left end, middles, right end
//   3C (vertical pipe)          two columns: a pipe top over pipe body
//   anything else               a rectangle of generic blocks; an extended
//                               object is one generic block at its origin
// Negative sizes extend left or up from the origin. Cells outside the
// 256 x 128 level are not drawn.
//
// How it works: the map16 buffer ($7F:8000-$FFFF), the screen exits
// ($7F:7E00-$7FFF) and the slot flags ($7E:0D4D-$0D8D) are cleared and the
// screen table ($70:0CAA, 128 screens) set to $80 ("no slot"). The stream at
// [$32] is read from offset 10 (after the header): each object's size bytes
// follow its kind in a table built from the definitions. A cell's screen gets
// the next free slot (1-63) on first use; a 64th screen jumps to the "level
// too big" stop. Exits are stored by screen at $7F:7E00 + screen * 4. At the
// end the screen table is copied to $70:0D6A.

namespace {

constexpr uint32_t kEntry = 0x108B5D;
constexpr uint32_t kTooBig = 0x109A85;

int64_t FileOffsetOf(uint32_t snes) {
    return kCopierHeaderSize + int64_t((snes >> 16) & 0x3F) * 0x8000 + ((snes & 0xFFFF) - 0x8000);
}

// A two-pass assembler of the smallest kind: bytes, labels, and references
// to labels (8-bit relative, 16-bit in the program bank, 24-bit).
class Asm {
public:
    explicit Asm(uint32_t origin) : origin_(origin) {}
    void op(std::initializer_list<uint8_t> bytes) { out_.insert(out_.end(), bytes); }
    void label(const std::string& name) { labels_[name] = here(); }
    void branch(uint8_t opcode, const std::string& target) { ref(opcode, target, 1); }
    void abs(uint8_t opcode, const std::string& target) { ref(opcode, target, 2); }
    void absLong(uint8_t opcode, const std::string& target) { ref(opcode, target, 3); }
    void word(const std::string& target) { fixups_.push_back({out_.size(), target, 2, 0}); out_.insert(out_.end(), 2, 0); }
    void data(const std::vector<uint8_t>& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    std::vector<uint8_t> finish() {
        for (const Fixup& f : fixups_) {
            const uint32_t target = labels_.at(f.target);
            if (f.size == 1) {
                const int rel = int(target) - int(f.next);
                if (rel < -128 || rel > 127) throw std::logic_error("branch out of range: " + f.target);
                out_[f.at] = uint8_t(rel);
            } else {
                for (int i = 0; i < f.size; ++i) out_[f.at + i] = uint8_t(target >> (8 * i));
            }
        }
        return out_;
    }

private:
    uint32_t here() const { return origin_ + uint32_t(out_.size()); }
    void ref(uint8_t opcode, const std::string& target, int size) {
        out_.push_back(opcode);
        fixups_.push_back({out_.size(), target, size, here() + uint32_t(size)});
        out_.insert(out_.end(), size_t(size), 0);
    }
    struct Fixup {
        size_t at;
        std::string target;
        int size;
        uint32_t next;  // address after the instruction (relative branches)
    };
    uint32_t origin_;
    std::vector<uint8_t> out_;
    std::vector<Fixup> fixups_;
    std::map<std::string, uint32_t> labels_;
};

// Size kinds and patterns, per object ID.
enum : uint8_t { kSizeNone = 0, kSizeWidth = 1, kSizeHeight = 2, kSizeNibbles = 3, kSizeBoth = 4 };
enum : uint8_t { kGround = 0, kBrick = 1, kPlatform = 2, kPipe = 3, kBlock = 4 };

std::vector<uint8_t> SizeTable(const DefinitionTables& defs) {
    std::vector<uint8_t> t(256, kSizeNone);
    for (int id = 1; id < 0xFF; ++id) {
        const ObjectDefinition& d = defs.objectDefs[id];
        if (d.kind == kKindFiveByte) t[id] = kSizeBoth;
        else if (d.kind == kKindFourByte) t[id] = d.sizeMode == 1 ? kSizeWidth : d.sizeMode == 2 ? kSizeHeight : kSizeNibbles;
    }
    return t;
}

std::vector<uint8_t> PatternTable() {
    std::vector<uint8_t> t(256, kBlock);
    t[0x01] = kGround;
    for (int id = 0x04; id <= 0x09; ++id) t[id] = kGround;
    t[0x02] = t[0x03] = kBrick;
    t[0x0D] = kPlatform;
    t[0x3C] = kPipe;
    return t;
}

// Direct page scratch (bank 0 = $7E:00xx).
enum : uint8_t {
    kX = 0x00, kY = 0x02, kW = 0x04, kH = 0x06, kPattern = 0x08, kRow = 0x0A, kCol = 0x0C,
    kCellX = 0x0E, kCellY = 0x10, kValue = 0x12, kId = 0x14, kScreenByte = 0x16, kPosByte = 0x18,
    kTmp = 0x1C, kTmp2 = 0x1E, kPtr = 0x32, kScreens = 0x97, kIndex = 0x99,
};

std::vector<uint8_t> LoaderCode(const DefinitionTables& defs) {
    Asm a(kEntry);
    a.op({0x8B});                          // PHB
    a.op({0x08});                          // PHP
    a.op({0xC2, 0x30});                    // REP #$30          16-bit A, X, Y
    // Clear the map16 buffer: a zero word, then MVN spreads it.
    a.op({0xA9, 0x00, 0x00});              // LDA #$0000
    a.op({0x8F, 0x00, 0x80, 0x7F});        // STA $7F8000
    a.op({0xA2, 0x00, 0x80});              // LDX #$8000
    a.op({0xA0, 0x02, 0x80});              // LDY #$8002
    a.op({0xA9, 0xFD, 0x7F});              // LDA #$7FFD        $7FFE bytes
    a.op({0x54, 0x7F, 0x7F});              // MVN $7F,$7F
    // Clear the screen exits.
    a.op({0xA9, 0x00, 0x00});              // LDA #$0000
    a.op({0xA2, 0xFE, 0x01});              // LDX #$01FE
    a.label("clearExits");
    a.op({0x9F, 0x00, 0x7E, 0x7F});        // STA $7F7E00,X
    a.op({0xCA, 0xCA});                    // DEX; DEX
    a.branch(0x10, "clearExits");          // BPL clearExits
    a.op({0xF4, 0x7E, 0x7E});              // PEA $7E7E
    a.op({0xAB, 0xAB});                    // PLB; PLB           DB = $7E
    a.op({0xE2, 0x20});                    // SEP #$20          8-bit A
    a.op({0xA2, 0x40, 0x00});              // LDX #$0040        slot count and flags
    a.label("clearFlags");
    a.op({0x9E, 0x4D, 0x0D});              // STZ $0D4D,X
    a.op({0xCA});                          // DEX
    a.branch(0x10, "clearFlags");          // BPL clearFlags
    a.op({0x64, kScreens});                // STZ $97           screens allocated
    a.op({0xA9, 0x80});                    // LDA #$80          "no slot"
    a.op({0xA2, 0x7F, 0x00});              // LDX #$007F
    a.label("clearTable");
    a.op({0x9F, 0xAA, 0x0C, 0x70});        // STA $700CAA,X
    a.op({0xCA});                          // DEX
    a.branch(0x10, "clearTable");          // BPL clearTable
    a.op({0xC2, 0x20});                    // REP #$20
    a.op({0xA0, 0x0A, 0x00});              // LDY #$000A        past the header

    // ---- objects ----
    a.label("object");
    a.op({0xB7, kPtr});                    // LDA [$32],Y
    a.op({0x29, 0xFF, 0x00});              // AND #$00FF
    a.op({0xC9, 0xFF, 0x00});              // CMP #$00FF        end of the objects
    a.branch(0xD0, "notEnd");              // BNE notEnd
    a.abs(0x4C, "exits");                  // JMP exits
    a.label("notEnd");
    a.op({0x85, kId});                     // STA id
    a.op({0xC8});                          // INY
    a.op({0xB7, kPtr, 0x29, 0xFF, 0x00});  // LDA [$32],Y; AND #$00FF
    a.op({0x85, kScreenByte, 0xC8});       // STA screen; INY
    a.op({0xB7, kPtr, 0x29, 0xFF, 0x00});  // LDA [$32],Y; AND #$00FF
    a.op({0x85, kPosByte, 0xC8});          // STA pos; INY
    // X = (screen & $0F) << 4 | (pos & $0F); Y = (screen & $F0) | (pos >> 4)
    a.op({0xA5, kScreenByte, 0x29, 0x0F, 0x00});    // LDA screen; AND #$000F
    a.op({0x0A, 0x0A, 0x0A, 0x0A, 0x85, kX});       // ASL x4; STA x
    a.op({0xA5, kPosByte, 0x29, 0x0F, 0x00});       // LDA pos; AND #$000F
    a.op({0x05, kX, 0x85, kX});                     // ORA x; STA x
    a.op({0xA5, kPosByte, 0x4A, 0x4A, 0x4A, 0x4A}); // LDA pos; LSR x4
    a.op({0x85, kY});                               // STA y
    a.op({0xA5, kScreenByte, 0x29, 0xF0, 0x00});    // LDA screen; AND #$00F0
    a.op({0x05, kY, 0x85, kY});                     // ORA y; STA y
    a.op({0xA9, 0x01, 0x00, 0x85, kW, 0x85, kH});   // LDA #1; STA w; STA h
    a.op({0xA6, kId});                              // LDX id
    a.branch(0xD0, "standard");                     // BNE standard
    a.op({0xC8});                                   // INY               (the extended ID)
    a.op({0xA9, kBlock, 0x00, 0x85, kPattern});     // LDA #block; STA pattern
    a.branch(0x80, "draw");                         // BRA draw
    a.label("standard");
    a.absLong(0xBF, "sizeTable");                   // LDA sizeTable,X (long)
    a.op({0x29, 0xFF, 0x00});                       // AND #$00FF
    // A size of one byte, for the width or the height alone.
    const auto oneSize = [&a](uint8_t sizeKind, uint8_t into, const char* next) {
        a.op({0xC9, sizeKind, 0x00});               // CMP #kind
        a.branch(0xD0, next);                       // BNE next
        a.abs(0x20, "readSize");                    // JSR readSize
        a.op({0x85, into});                         // STA w (h)
        a.branch(0x80, "sized");                    // BRA sized
        a.label(next);
    };
    oneSize(kSizeWidth, kW, "notWidth");
    oneSize(kSizeHeight, kH, "notHeight");
    a.op({0xC9, kSizeNibbles, 0x00});               // CMP #nibbles
    a.branch(0xD0, "notNibbles");
    a.op({0xB7, kPtr, 0xC8, 0x29, 0xFF, 0x00});     // LDA [$32],Y; INY; AND #$00FF
    a.op({0x48});                                   // PHA
    a.op({0x4A, 0x4A, 0x4A, 0x4A, 0x1A, 0x85, kW}); // LSR x4; INC; STA w
    a.op({0x68, 0x29, 0x0F, 0x00, 0x1A, 0x85, kH}); // PLA; AND #$000F; INC; STA h
    a.branch(0x80, "sized");
    a.label("notNibbles");
    a.op({0xC9, kSizeBoth, 0x00});                  // CMP #both
    a.branch(0xF0, "both");                         // BEQ both
    a.abs(0x4C, "finish");                          // JMP finish       (an unknown object ends the stream)
    a.label("both");
    a.abs(0x20, "readSize");                        // JSR readSize
    a.op({0x85, kW});                               // STA w
    a.abs(0x20, "readSize");                        // JSR readSize
    a.op({0x85, kH});                               // STA h
    a.label("sized");
    a.absLong(0xBF, "patternTable");                // LDA patternTable,X (long)
    a.op({0x29, 0xFF, 0x00, 0x85, kPattern});       // AND #$00FF; STA pattern
    a.op({0xC9, kPipe, 0x00});                      // CMP #pipe
    a.branch(0xD0, "draw");
    a.op({0xA9, 0x02, 0x00, 0x85, kW});             // LDA #2; STA w     pipes are two columns
    a.label("draw");
    a.op({0x84, kIndex});                           // STY $99
    a.abs(0x20, "rect");                            // JSR rect
    a.op({0xA4, kIndex});                           // LDY $99
    a.abs(0x4C, "object");                          // JMP object

    // readSize: the size byte at [$32],Y as an extent (1..128, or negative).
    a.label("readSize");
    a.op({0xB7, kPtr, 0xC8, 0x29, 0xFF, 0x00});     // LDA [$32],Y; INY; AND #$00FF
    a.op({0xC9, 0x80, 0x00});                       // CMP #$0080
    a.branch(0xB0, "negative");                     // BCS negative
    a.op({0x1A, 0x60});                             // INC; RTS
    a.label("negative");
    a.op({0x09, 0x00, 0xFF, 0x3A, 0x60});           // ORA #$FF00; DEC; RTS

    // rect: draws w x h cells of the pattern from (x, y).
    a.label("rect");
    a.op({0xA5, kW});                               // LDA w
    a.branch(0x10, "wPositive");                    // BPL
    a.op({0x18, 0x65, kX, 0x1A, 0x85, kX});         // CLC; ADC x; INC; STA x
    a.op({0xA5, kW, 0x49, 0xFF, 0xFF, 0x1A, 0x85, kW});  // LDA w; EOR #$FFFF; INC; STA w
    a.label("wPositive");
    a.op({0xA5, kH});                               // LDA h
    a.branch(0x10, "hPositive");
    a.op({0x18, 0x65, kY, 0x1A, 0x85, kY});         // CLC; ADC y; INC; STA y
    a.op({0xA5, kH, 0x49, 0xFF, 0xFF, 0x1A, 0x85, kH});  // LDA h; EOR #$FFFF; INC; STA h
    a.label("hPositive");
    a.op({0x64, kRow});                             // STZ row
    a.label("row");
    a.op({0xA5, kRow, 0xC5, kH});                   // LDA row; CMP h
    a.branch(0xB0, "rectDone");                     // BCS rectDone
    a.op({0x64, kCol});                             // STZ col
    a.label("col");
    a.op({0xA5, kCol, 0xC5, kW});                   // LDA col; CMP w
    a.branch(0xB0, "nextRow");                      // BCS nextRow
    a.abs(0x20, "cell");                            // JSR cell
    a.op({0xE6, kCol});                             // INC col
    a.branch(0x80, "col");
    a.label("nextRow");
    a.op({0xE6, kRow});                             // INC row
    a.branch(0x80, "row");
    a.label("rectDone");
    a.op({0x60});                                   // RTS

    // cell: one cell at (x + col, y + row), when it lies in the level.
    a.label("cell");
    a.op({0xA5, kX, 0x18, 0x65, kCol, 0x85, kCellX});  // LDA x; CLC; ADC col; STA cellX
    a.op({0xC9, 0x00, 0x01});                       // CMP #$0100        (negative is large)
    a.branch(0xB0, "cellDone");
    a.op({0xA5, kY, 0x18, 0x65, kRow, 0x85, kCellY});  // LDA y; CLC; ADC row; STA cellY
    a.op({0xC9, 0x80, 0x00});                       // CMP #$0080
    a.branch(0xB0, "cellDone");
    a.op({0xA5, kPattern, 0x0A, 0xAA});             // LDA pattern; ASL; TAX
    a.abs(0xFC, "patterns");                        // JSR (patterns,X)
    a.op({0x85, kValue});                           // STA value
    a.op({0xA5, kCellX, 0x4A, 0x4A, 0x4A, 0x4A, 0x85, kTmp});  // LDA cellX; LSR x4; STA tmp
    a.op({0xA5, kCellY, 0x29, 0xF0, 0x00, 0x05, kTmp, 0xAA});  // LDA cellY; AND #$00F0; ORA tmp; TAX
    a.abs(0x20, "slot");                            // JSR slot           A = slot of screen X
    a.op({0xEB, 0x0A, 0x85, kTmp});                 // XBA; ASL; STA tmp  slot * $200
    a.op({0xA5, kCellY, 0x29, 0x0F, 0x00});         // LDA cellY; AND #$000F
    a.op({0x0A, 0x0A, 0x0A, 0x0A, 0x85, kTmp2});    // ASL x4; STA tmp2
    a.op({0xA5, kCellX, 0x29, 0x0F, 0x00, 0x05, kTmp2});  // LDA cellX; AND #$000F; ORA tmp2
    a.op({0x0A, 0x05, kTmp, 0xAA});                 // ASL; ORA tmp; TAX
    a.op({0xA5, kValue, 0x9F, 0x00, 0x80, 0x7F});   // LDA value; STA $7F8000,X
    a.label("cellDone");
    a.op({0x60});                                   // RTS

    // slot: the slot of screen X (1..63), taking the next free one on first use.
    a.label("slot");
    a.op({0xE2, 0x20});                             // SEP #$20
    a.op({0xBF, 0xAA, 0x0C, 0x70, 0x29, 0x3F});     // LDA $700CAA,X; AND #$3F
    a.branch(0xD0, "slotFound");                    // BNE slotFound
    a.op({0xAD, 0x4D, 0x0D, 0x1A, 0x8D, 0x4D, 0x0D});  // LDA $0D4D; INC; STA $0D4D
    a.op({0xC9, 0x40});                             // CMP #$40
    a.branch(0x90, "slotRoom");                     // BCC slotRoom
    a.op({0x5C, uint8_t(kTooBig), uint8_t(kTooBig >> 8), uint8_t(kTooBig >> 16)});  // JML too big
    a.label("slotRoom");
    a.op({0xDA, 0xA2, 0x01, 0x00});                 // PHX; LDX #$0001
    a.label("slotSearch");
    a.op({0xBD, 0x4D, 0x0D});                       // LDA $0D4D,X
    a.branch(0xF0, "slotFree");                     // BEQ slotFree
    a.op({0xE8});                                   // INX
    a.branch(0x80, "slotSearch");
    a.label("slotFree");
    a.op({0xA9, 0x01, 0x9D, 0x4D, 0x0D});           // LDA #1; STA $0D4D,X
    a.op({0x8A, 0xFA});                             // TXA; PLX
    a.op({0x9F, 0xAA, 0x0C, 0x70, 0xE6, kScreens}); // STA $700CAA,X; INC $97
    a.label("slotFound");
    a.op({0xC2, 0x20, 0x29, 0x3F, 0x00, 0x60});     // REP #$20; AND #$003F; RTS

    // The patterns: A = the map16 number for (row, col).
    a.label("patterns");
    a.word("pGround");
    a.word("pBrick");
    a.word("pPlatform");
    a.word("pPipe");
    a.word("pBlock");
    a.label("pGround");
    a.op({0xA5, kRow});                             // LDA row
    a.branch(0xD0, "pFill");
    a.op({0xA9, 0x01, 0x01, 0x60});                 // LDA #$0101; RTS
    a.label("pFill");
    a.op({0xA9, 0x00, 0x01, 0x60});                 // LDA #$0100; RTS
    a.label("pBrick");
    a.op({0xA9, 0x02, 0x01, 0x60});                 // LDA #$0102; RTS
    a.label("pPlatform");
    a.op({0xA5, kCol});                             // LDA col
    a.branch(0xD0, "pNotLeft");
    a.op({0xA9, 0x03, 0x01, 0x60});                 // LDA #$0103; RTS
    a.label("pNotLeft");
    a.op({0x1A, 0xC5, kW});                         // INC; CMP w
    a.branch(0xD0, "pMiddle");
    a.op({0xA9, 0x05, 0x01, 0x60});                 // LDA #$0105; RTS
    a.label("pMiddle");
    a.op({0xA9, 0x04, 0x01, 0x60});                 // LDA #$0104; RTS
    a.label("pPipe");
    a.op({0xA5, kCol, 0x29, 0x01, 0x00, 0x85, kTmp2});  // LDA col; AND #1; STA tmp2
    a.op({0xA5, kRow});                             // LDA row
    a.branch(0xD0, "pBody");
    a.op({0xA9, 0x08, 0x01, 0x18, 0x65, kTmp2, 0x60});  // LDA #$0108; CLC; ADC tmp2; RTS
    a.label("pBody");
    a.op({0xA9, 0x06, 0x01, 0x18, 0x65, kTmp2, 0x60});  // LDA #$0106; CLC; ADC tmp2; RTS
    a.label("pBlock");
    a.op({0xA9, 0x0A, 0x01, 0x60});                 // LDA #$010A; RTS

    // ---- screen exits: 5-byte records until a screen byte with bit 7 ----
    a.label("exits");
    a.op({0xC8});                                   // INY               past the objects' $FF
    a.label("exit");
    a.op({0xB7, kPtr, 0x29, 0xFF, 0x00});           // LDA [$32],Y; AND #$00FF
    a.op({0xC9, 0x80, 0x00});                       // CMP #$0080
    a.branch(0xB0, "finish");                       // BCS finish
    a.op({0x0A, 0x0A, 0xAA, 0xC8});                 // ASL; ASL; TAX; INY
    a.op({0xB7, kPtr, 0x9F, 0x00, 0x7E, 0x7F});     // LDA [$32],Y; STA $7F7E00,X   level, X
    a.op({0xC8, 0xC8});                             // INY; INY
    a.op({0xB7, kPtr, 0x9F, 0x02, 0x7E, 0x7F});     // LDA [$32],Y; STA $7F7E02,X   Y, type
    a.op({0xC8, 0xC8});                             // INY; INY
    a.branch(0x80, "exit");

    a.label("finish");
    a.op({0xA2, 0xAA, 0x0C, 0xA0, 0x6A, 0x0D});     // LDX #$0CAA; LDY #$0D6A
    a.op({0xA9, 0x7F, 0x00, 0x54, 0x70, 0x70});     // LDA #$007F; MVN $70,$70   the screen table's copy
    a.op({0x28, 0xAB, 0x6B});                       // PLP; PLB; RTL

    a.label("sizeTable");
    a.data(SizeTable(defs));
    a.label("patternTable");
    a.data(PatternTable());
    return a.finish();
}

}  // namespace

std::vector<DemoLoaderPiece> BuildDemoLoader(const DefinitionTables& defs) {
    return {{FileOffsetOf(kEntry), LoaderCode(defs)},
            {FileOffsetOf(kTooBig), {0x80, 0xFE}}};  // BRA to itself: the run ends here
}

void PutDemoLoader(const DefinitionTables& defs, std::vector<uint8_t>& rom) {
    for (const DemoLoaderPiece& p : BuildDemoLoader(defs))
        if (p.fileOffset + int64_t(p.bytes.size()) <= int64_t(rom.size()))
            std::copy(p.bytes.begin(), p.bytes.end(), rom.begin() + p.fileOffset);
}

}  // namespace mw
