#include "level/level_json.h"

#include <sstream>

#include "level/level_codec.h"
#include "util/hex_text.h"
#include "util/json.h"

namespace mw {

namespace {

void WriteEntry(std::ostream& j, const LevelObject& o) {
    j << "{\"id\": " << int(o.id) << ", \"extId\": " << int(o.extId) << ", \"x\": " << int(o.x) << ", \"y\": " << int(o.y)
      << ", \"width\": " << o.width << ", \"height\": " << o.height
      << ", \"isSprite\": " << (o.isSprite ? "true" : "false") << "}";
}

void WriteEntryList(std::ostream& j, const std::vector<LevelObject>& entries) {
    j << "\"objects\": [";
    for (size_t k = 0; k < entries.size(); ++k) {
        j << (k ? "," : "") << "\n    ";
        WriteEntry(j, entries[k]);
    }
    j << (entries.empty() ? "" : "\n  ") << "]";
}

using Kind = JsonValue::Kind;

// Reads the whole number `key` of `v` into `out`, within lo..hi. A missing
// key takes `dflt` when there is one.
std::optional<std::string> Integer(const JsonValue& v, const char* key, int64_t lo, int64_t hi, int& out,
                                   std::optional<int> dflt = std::nullopt) {
    const JsonValue* f = v.find(key);
    if (!f) {
        if (dflt) {
            out = *dflt;
            return std::nullopt;
        }
        return std::string("it has no \"") + key + "\"";
    }
    if (f->kind != Kind::Integer) return std::string("\"") + key + "\" is not a whole number";
    if (f->integer < lo || f->integer > hi)
        return std::string("\"") + key + "\" is " + f->text + ", outside " + std::to_string(lo) +
               " to " + std::to_string(hi);
    out = static_cast<int>(f->integer);
    return std::nullopt;
}

std::optional<std::string> OnlyKeys(const JsonValue& v, std::initializer_list<std::string_view> keys) {
    for (const auto& [k, _] : v.members) {
        bool known = false;
        for (std::string_view key : keys) known = known || k == key;
        if (!known) return "it has an unknown key " + QuotedForMessage(k);
    }
    return std::nullopt;
}

std::optional<std::string> ReadEntry(const JsonValue& v, const DefinitionTables& defs, LevelObject& out) {
    if (v.kind != Kind::Object) return std::string("it is not an object {...}");
    if (auto e = OnlyKeys(v, {"id", "extId", "x", "y", "width", "height", "isSprite"})) return e;
    const JsonValue* sprite = v.find("isSprite");
    if (!sprite) return std::string("it has no \"isSprite\"");
    if (sprite->kind != Kind::Bool) return std::string("\"isSprite\" is not true or false");
    LevelObject o;
    o.isSprite = sprite->boolean;
    int id = 0, extId = 0, x = 0, y = 0, width = 1, height = 1;
    std::optional<std::string> e;
    if ((e = Integer(v, "id", 0, 255, id)) || (e = Integer(v, "extId", 0, o.isSprite ? 1 : 255, extId, 0)) ||
        (e = Integer(v, "x", 0, 255, x)) || (e = Integer(v, "y", 0, o.isSprite ? 127 : 255, y)) ||
        (e = Integer(v, "width", INT16_MIN, INT16_MAX, width, 1)) ||
        (e = Integer(v, "height", INT16_MIN, INT16_MAX, height, 1)))
        return e;
    o.id = static_cast<uint8_t>(id);
    o.extId = static_cast<uint8_t>(extId);
    o.x = static_cast<uint8_t>(x);
    o.y = static_cast<uint8_t>(y);
    o.width = static_cast<int16_t>(width);
    o.height = static_cast<int16_t>(height);
    if (o.isSprite) {
        if (defs.spriteDefs[o.spriteId()].name.empty())
            return "sprite " + ToHex(o.spriteId()) + " is not in the definition files";
        if (o.width != 1 || o.height != 1) return std::string("a sprite's width and height are always 1");
    } else {
        const uint8_t kind = defs.kindOf(o);
        if (kind == kKindExtended) {
            const ExtendedObjectDefinition& ext = defs.extendedDefs[o.extId];
            if (ext.name.empty()) return "extended object " + ToHex(o.extId) + " is not in the definition files";
            // The ROM stores no size for these: it is the definition's.
            o.width = ext.width;
            o.height = ext.height;
        } else if (kind != kKindFourByte && kind != kKindFiveByte) {
            return "object type " + ToHex(o.id) + " is not in the definition files";
        } else if (o.extId != 0) {
            return "\"extId\" is " + std::to_string(o.extId) + ", but only an extended object (id 0) has one";
        }
    }
    if (auto why = CheckEntryWritable(defs, o)) return why;
    out = o;
    return std::nullopt;
}

std::optional<std::string> ReadExit(const JsonValue& v, ScreenExit& out) {
    if (v.kind != Kind::Object) return std::string("it is not an object {...}");
    if (auto e = OnlyKeys(v, {"screenX", "screenY", "destination", "entranceX", "entranceY", "entranceType"})) return e;
    int f[6] = {};
    const char* keys[6] = {"screenX", "screenY", "destination", "entranceX", "entranceY", "entranceType"};
    for (int k = 0; k < 6; ++k)
        if (auto e = Integer(v, keys[k], 0, 255, f[k])) return e;
    ScreenExit x{static_cast<uint8_t>(f[0]), static_cast<uint8_t>(f[1]), static_cast<uint8_t>(f[2]),
                 static_cast<uint8_t>(f[3]), static_cast<uint8_t>(f[4]), static_cast<uint8_t>(f[5])};
    if (auto why = CheckExitWritable(x)) return why;
    out = x;
    return std::nullopt;
}

std::optional<std::string> ReadEntries(const JsonValue& list, const DefinitionTables& defs,
                                       std::vector<LevelObject>& out) {
    if (list.kind != Kind::Array) return std::string("\"objects\" is not a list [...]");
    if (list.items.size() > kMaxLevelEntries)
        return "\"objects\" holds " + std::to_string(list.items.size()) + " entries; a level holds at most " +
               std::to_string(kMaxLevelEntries);
    std::vector<LevelObject> entries(list.items.size());
    for (size_t k = 0; k < entries.size(); ++k)
        if (auto e = ReadEntry(list.items[k], defs, entries[k])) return "objects[" + std::to_string(k) + "]: " + *e;
    out = std::move(entries);
    return std::nullopt;
}

// Parses `text` as a level's JSON or entries, refusing a text longer than a
// level's can be before reading it, and one of more values as soon as the
// reader passes them.
std::optional<std::string> ParseBounded(std::string_view text, JsonValue& doc) {
    if (text.size() > kMaxLevelJsonBytes)
        return "The text is " + std::to_string(text.size()) + " bytes long; a level's JSON is at most " +
               std::to_string(kMaxLevelJsonBytes) + " bytes";
    if (auto e = ParseJson(text, doc, kMaxLevelJsonValues)) {
        if (e->ends_with(" values"))
            return "The text is too long for a level: " + *e + ", and a level holds at most " +
                   std::to_string(kMaxLevelEntries) + " entries and " + std::to_string(kMaxLevelExits) + " screen exits";
        return "The text is not valid JSON: " + *e;
    }
    return std::nullopt;
}

const JsonValue* Member(const JsonValue& doc, const char* key, std::string& error) {
    const JsonValue* v = doc.find(key);
    if (!v) error = std::string("has no \"") + key + "\"";
    return v;
}

}  // namespace

std::string LevelToJson(const LevelState& s, const Messages& messages) {
    std::ostringstream j;
    j << "{\n  \"headerOffset\": " << s.headerOffset << ",\n  \"spriteOffset\": " << s.spriteOffset
      << ",\n  \"headerOffsetHex\": \"" << ToHex(static_cast<uint32_t>(s.headerOffset))
      << "\",\n  \"spriteOffsetHex\": \"" << ToHex(static_cast<uint32_t>(s.spriteOffset))
      << "\",\n  \"header\": ";
    if (s.hasHeader) {
        j << "[";
        for (size_t k = 0; k < s.headerBytes.size(); ++k) j << (k ? ", " : "") << int(s.headerBytes[k]);
        j << "]";
    } else {
        j << "null";
    }
    j << ",\n  \"objectBytesUsed\": " << s.objectBytesUsed << ",\n  \"objectBytesAvailable\": "
      << s.objectBytesAvailable << ",\n  \"spriteBytesUsed\": " << s.spriteBytesUsed
      << ",\n  \"spriteBytesAvailable\": " << s.spriteBytesAvailable << ",\n  ";
    WriteEntryList(j, s.objectList);
    j << ",\n  \"exits\": [";
    for (size_t k = 0; k < s.exitList.size(); ++k) {
        const ScreenExit& e = s.exitList[k];
        j << (k ? "," : "") << "\n    {\"screenX\": " << int(e.screenX) << ", \"screenY\": " << int(e.screenY)
          << ", \"destination\": " << int(e.destination) << ", \"entranceX\": " << int(e.entranceX)
          << ", \"entranceY\": " << int(e.entranceY) << ", \"entranceType\": " << int(e.entranceType) << "}";
    }
    j << (s.exitList.empty() ? "" : "\n  ") << "],\n  \"messages\": [";
    for (size_t k = 0; k < messages.size(); ++k)
        j << (k ? "," : "") << "\n    {\"title\": " << JsonString(messages[k].title)
          << ", \"text\": " << JsonString(messages[k].text) << "}";
    j << (messages.empty() ? "" : "\n  ") << "]\n}\n";
    return j.str();
}

std::string EntriesToJson(const std::vector<LevelObject>& entries) {
    std::ostringstream j;
    j << "{\n  ";
    WriteEntryList(j, entries);
    j << "\n}\n";
    return j.str();
}

std::optional<std::string> ParseLevelJson(std::string_view text, const DefinitionTables& defs, LevelContent& out) {
    JsonValue doc;
    if (auto e = ParseBounded(text, doc)) return e;
    if (doc.kind != Kind::Object) return std::string("The level must be a JSON object {...}");
    std::string error;
    const JsonValue* header = Member(doc, "header", error);
    const JsonValue* objects = header ? Member(doc, "objects", error) : nullptr;
    const JsonValue* exits = objects ? Member(doc, "exits", error) : nullptr;
    if (!exits) return "The level " + error;
    LevelContent c;
    if (header->kind == Kind::Array) {
        LevelHeader bytes{};
        if (header->items.size() != bytes.size())
            return "\"header\" must hold " + std::to_string(bytes.size()) + " bytes, not " +
                   std::to_string(header->items.size());
        for (size_t k = 0; k < bytes.size(); ++k) {
            const JsonValue& b = header->items[k];
            if (b.kind != Kind::Integer || b.integer < 0 || b.integer > 255)
                return "header[" + std::to_string(k) + "]: not a byte (0 to 255)";
            bytes[k] = static_cast<uint8_t>(b.integer);
        }
        c.header = bytes;
    } else if (header->kind != Kind::Null) {
        return std::string("\"header\" must be a list of bytes or null");
    }
    if (auto e = ReadEntries(*objects, defs, c.objectList)) return e;
    if (exits->kind != Kind::Array) return std::string("\"exits\" is not a list [...]");
    if (exits->items.size() > kMaxLevelExits)
        return "\"exits\" holds " + std::to_string(exits->items.size()) + " screen exits; a level holds at most " +
               std::to_string(kMaxLevelExits);
    c.exitList.resize(exits->items.size());
    for (size_t k = 0; k < c.exitList.size(); ++k)
        if (auto e = ReadExit(exits->items[k], c.exitList[k])) return "exits[" + std::to_string(k) + "]: " + *e;
    out = std::move(c);
    return std::nullopt;
}

std::optional<std::string> ParseEntriesJson(std::string_view text, const DefinitionTables& defs,
                                            std::vector<LevelObject>& out) {
    JsonValue doc;
    if (auto e = ParseBounded(text, doc)) return e;
    if (doc.kind == Kind::Array) return ReadEntries(doc, defs, out);
    if (doc.kind != Kind::Object) return std::string("The entries must be a JSON object {\"objects\": [...]}");
    std::string error;
    const JsonValue* objects = Member(doc, "objects", error);
    if (!objects) return "The entries' text " + error;
    return ReadEntries(*objects, defs, out);
}

}  // namespace mw
