#include <gtest/gtest.h>

#include <random>

#include "level/level_codec.h"
#include "level/level_json.h"
#include "support/rom_builder.h"
#include "util/json.h"

namespace mw {
namespace {

// A random entry that the ROM can hold, from whatever `defs` defines.
LevelObject RandomEntry(const DefinitionTables& defs, std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto fullByte = [&] { return pick(4) == 0 ? -2 - pick(128) : 1 + pick(128); };
    while (true) {
        if (pick(3) == 0) {
            const int id = pick(512);
            const int y = pick(128);
            if (defs.spriteDefs[id].name.empty() || (id == 0x1FF && y == 127)) continue;
            return MakeSprite(id, pick(256), y);
        }
        LevelObject o = MakeObject(static_cast<uint8_t>(pick(256)), pick(256), pick(256));
        const ObjectDefinition& def = defs.objectDefs[o.id];
        if (def.kind == kKindExtended) {
            o.extId = static_cast<uint8_t>(pick(256));
            if (defs.extendedDefs[o.extId].name.empty()) continue;
            o.width = defs.extendedDefs[o.extId].width;
            o.height = defs.extendedDefs[o.extId].height;
        } else if (def.kind == kKindFiveByte) {
            o.width = static_cast<int16_t>(fullByte());
            o.height = static_cast<int16_t>(fullByte());
        } else if (def.kind == kKindFourByte) {
            o.width = static_cast<int16_t>(def.sizeMode == 1 ? fullByte() : def.sizeMode == 2 ? 1 : 1 + pick(16));
            o.height = static_cast<int16_t>(def.sizeMode == 2 ? fullByte() : def.sizeMode == 1 ? 1 : 1 + pick(16));
        } else {
            continue;
        }
        return o;
    }
}

// Whatever a level holds, the text written for it reads back as the same
// level; the messages' texts (quotes, control characters, UTF-8) survive too.
TEST(LevelJson, RandomLevelsRoundTrip) {
    const auto& defs = test::ShippedDefinitions();
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        LevelState s;
        for (auto& b : s.headerBytes) b = static_cast<uint8_t>(rng());
        s.hasHeader = rng() % 8 != 0;
        const int n = static_cast<int>(rng() % 60);
        for (int k = 0; k < n; ++k) s.objectList.push_back(RandomEntry(defs, rng));
        for (int k = static_cast<int>(rng() % 5); k > 0; --k)
            s.exitList.push_back({static_cast<uint8_t>(rng() % 16), static_cast<uint8_t>(rng() % 8),
                                  static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                                  static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())});
        std::vector<PromptMessage> messages;
        std::string text;
        for (int k = static_cast<int>(rng() % 40); k > 0; --k) text += static_cast<char>(1 + rng() % 127);
        messages.push_back({"Marlwick - \"quoted\"\\", text + "\xC3\xA9"});

        const std::string json = LevelToJson(s, messages);
        LevelContent back;
        ASSERT_EQ(ParseLevelJson(json, defs, back), std::nullopt) << json;
        ASSERT_EQ(back.header.has_value(), s.hasHeader);
        if (s.hasHeader) {
            EXPECT_EQ(*back.header, s.headerBytes);
        }
        EXPECT_EQ(back.objectList, s.objectList);
        EXPECT_EQ(back.exitList, s.exitList);

        JsonValue doc;
        ASSERT_EQ(ParseJson(json, doc), std::nullopt);
        const JsonValue& m = doc.find("messages")->items.at(0);
        EXPECT_EQ(m.find("title")->text, messages[0].title);
        EXPECT_EQ(m.find("text")->text, messages[0].text);

        std::vector<LevelObject> entries;
        ASSERT_EQ(ParseEntriesJson(EntriesToJson(s.objectList), defs, entries), std::nullopt);
        EXPECT_EQ(entries, s.objectList);
        // The clipboard also takes a whole level's text and a bare list.
        ASSERT_EQ(ParseEntriesJson(json, defs, entries), std::nullopt);
        EXPECT_EQ(entries, s.objectList);
    }
}

TEST(LevelJson, HeaderNullIsALevelWithoutHeader) {
    LevelContent c;
    ASSERT_EQ(ParseLevelJson(R"({"header": null, "objects": [], "exits": []})", test::SmallDefinitions(), c),
              std::nullopt);
    EXPECT_FALSE(c.header);
}

// Text that must be refused, and a piece of the reason the user is given.
// Every row starts from a valid level and breaks one thing.
TEST(LevelJson, RefusesWithAReasonAndLeavesTheTargetAlone) {
    const auto defs = test::SmallDefinitions();
    const std::string head = R"({"header": [1,2,3,4,5,6,7,8,9,10], "objects": [{"id": 1, "extId": 0, "x": 4, "y": 5, "width": 2, "height": 3, "isSprite": false}, )";
    const std::string exits = R"(], "exits": [{"screenX": 1, "screenY": 2, "destination": 3, "entranceX": 4, "entranceY": 5, "entranceType": 6}]})";
    auto entry = [&](const std::string& e) { return head + e + exits; };
    struct Row {
        std::string text;
        std::string reason;
    };
    const Row rows[] = {
        {"", "line 1, column 1: the text ends"},
        {"{\"header\": [1,\n  2,]", "line 2, column 5"},
        {entry(R"({"id": 1, "x": 1.5, "y": 0, "isSprite": false})"), "whole numbers"},
        {entry(R"({"id": 01, "x": 1, "y": 0, "isSprite": false})"), "leading zeros"},
        {std::string(200, '[') + std::string(200, ']'), "nested too deeply"},
        {R"({"header": null, "header": null, "objects": [], "exits": []})", "appears twice"},
        {R"(["header"])", "must be a JSON object"},
        {R"({"header": [1,2,3], "objects": [], "exits": []})", "must hold 10 bytes, not 3"},
        {R"({"header": [1,2,3,4,5,6,7,8,9,256], "objects": [], "exits": []})", "header[9]: not a byte"},
        {R"({"header": "none", "objects": [], "exits": []})", "list of bytes or null"},
        {R"({"header": null, "exits": []})", "The level has no \"objects\""},
        {R"({"header": null, "objects": {}, "exits": []})", "\"objects\" is not a list"},
        {entry("7"), "objects[1]: it is not an object"},
        {entry(R"({"id": 8, "x": 1, "y": 0, "isSprite": false})"), "objects[1]: object type 8 is not in the definition files"},
        {entry(R"({"id": 255, "x": 1, "y": 0, "isSprite": false})"), "object type FF is not"},
        {entry(R"({"id": 0, "extId": 17, "x": 1, "y": 0, "isSprite": false})"), "extended object 11 is not"},
        {entry(R"({"id": 1, "extId": 5, "x": 1, "y": 0, "isSprite": false})"), "only an extended object"},
        {entry(R"({"id": 2, "x": 1, "y": 0, "isSprite": true})"), "sprite 2 is not"},
        {entry(R"({"id": 30, "extId": 2, "x": 1, "y": 0, "isSprite": true})"), "\"extId\" is 2, outside 0 to 1"},
        {entry(R"({"id": 30, "x": 1, "y": 128, "isSprite": true})"), "\"y\" is 128, outside 0 to 127"},
        {entry(R"({"id": 255, "extId": 1, "x": 1, "y": 127, "isSprite": true})"), "end of the sprite list"},
        {entry(R"({"id": 30, "x": 1, "y": 0, "width": 2, "isSprite": true})"), "always 1"},
        {entry(R"({"id": 1, "x": 256, "y": 0, "isSprite": false})"), "\"x\" is 256, outside 0 to 255"},
        {entry(R"({"id": 1, "x": -1, "y": 0, "isSprite": false})"), "\"x\" is -1"},
        {entry(R"({"id": 1, "x": 1, "y": 0, "width": 0, "isSprite": false})"), "width 0 cannot be stored"},
        {entry(R"({"id": 2, "x": 1, "y": 0, "width": 17, "isSprite": false})"), "width 17 cannot be stored"},
        {entry(R"({"id": 3, "x": 1, "y": 0, "height": 2, "isSprite": false})"), "height 2 cannot be stored"},
        {entry(R"({"id": 1, "x": 1, "y": 0, "width": 99999999999999999999, "isSprite": false})"),
         "\"width\" is 99999999999999999999, outside -32768"},
        {entry(R"({"id": 1, "x": 1, "y": -9007199254740993, "isSprite": false})"), "\"y\" is -9007199254740993,"},
        {entry(R"({"id": 1, "y": 0, "isSprite": false})"), "objects[1]: it has no \"x\""},
        {entry(R"({"id": 1, "x": 1, "y": 0, "witdh": 3, "isSprite": false})"), "unknown key \"witdh\""},
        {entry(R"({"id": 1, "x": 1, "y": 0, ")" + std::string(100000, 'k') + R"(": 3, "isSprite": false})"),
         "unknown key \"kkkkkkkkkkkkkkkkkkkkkkkk...\""},
        {entry(R"({"id": 1, "x": 1, ")" + std::string(5000, 'y') + R"(": 0, ")" + std::string(5000, 'y') + R"(": 0})"),
         "appears twice"},
        {entry(R"({"id": 1, "x": 1, "y": 0, "isSprite": 1})"), "not true or false"},
        {head + R"({"id": 1, "x": 1, "y": 0, "isSprite": false}], "exits": [{"screenX": 1, "screenY": 8, "destination": 3, "entranceX": 4, "entranceY": 5, "entranceType": 6}]})",
         "exits[0]: its screen row 8"},
        {head + R"({"id": 1, "x": 1, "y": 0, "isSprite": false}], "exits": [{"screenX": 1, "screenY": 2, "destination": 300, "entranceX": 4, "entranceY": 5, "entranceType": 6}]})",
         "\"destination\" is 300"},
        {head + R"({"id": 1, "x": 1, "y": 0, "isSprite": false}], "exits": [{"screenX": 1, "screenY": 2, "destination": 3, "entranceX": 4, "entranceY": 5}]})",
         "exits[0]: it has no \"entranceType\""},
    };
    // The valid level itself is accepted, so every refusal is the row's own.
    LevelContent ok;
    ASSERT_EQ(ParseLevelJson(entry(R"({"id": 30, "x": 1, "y": 0, "isSprite": true})"), defs, ok), std::nullopt);
    ASSERT_EQ(ok.objectList.size(), 2u);
    EXPECT_EQ(ok.objectList[1], MakeSprite(30, 1, 0));
    for (const Row& row : rows) {
        LevelContent out = ok;
        const auto why = ParseLevelJson(row.text, defs, out);
        ASSERT_TRUE(why) << row.text;
        EXPECT_NE(why->find(row.reason), std::string::npos) << *why;
        EXPECT_LT(why->size(), 300u) << "the reason quotes the input at length";
        EXPECT_EQ(out.objectList, ok.objectList) << row.text;
        // The clipboard's reader gives the same reasons for its entries.
        if (row.reason.rfind("objects[1]", 0) == 0) {
            std::vector<LevelObject> entries = ok.objectList;
            const auto clip = ParseEntriesJson(row.text, defs, entries);
            ASSERT_TRUE(clip);
            EXPECT_EQ(*clip, *why);
            EXPECT_EQ(entries, ok.objectList);
        }
    }
}

// What no level can hold is refused before it is all read: a text longer
// than any level's, more values than any level's, more entries or exits.
TEST(LevelJson, TextsBeyondWhatALevelHoldsAreRefused) {
    const auto defs = test::SmallDefinitions();
    auto repeated = [](const std::string& item, size_t count) {
        std::string list;
        list.reserve(count * (item.size() + 1));
        for (size_t k = 0; k < count; ++k) list += (k ? "," : "") + item;
        return list;
    };
    const std::string sprite = R"({"id": 30, "x": 1, "y": 0, "isSprite": true})";
    const std::string exit =
        R"({"screenX": 1, "screenY": 2, "destination": 3, "entranceX": 4, "entranceY": 5, "entranceType": 6})";
    auto level = [](const std::string& objects, const std::string& exits) {
        return R"({"header": null, "objects": [)" + objects + R"(], "exits": [)" + exits + "]}";
    };
    const struct {
        std::string text;
        std::string reason;
    } rows[] = {
        {std::string(kMaxLevelJsonBytes + 1, ' '), "bytes long"},
        {level(repeated("{}", 1000000), ""), "too long for a level"},
        {level(repeated(sprite, kMaxLevelEntries + 1), ""), "\"objects\" holds 21845 entries"},
        {level("", repeated(exit, kMaxLevelExits + 1)), "\"exits\" holds 6554 screen exits"},
    };
    for (const auto& row : rows) {
        LevelContent out;
        const auto why = ParseLevelJson(row.text, defs, out);
        ASSERT_TRUE(why);
        EXPECT_NE(why->find(row.reason), std::string::npos) << *why;
        std::vector<LevelObject> entries;
        if (row.reason != "\"exits\" holds 6554 screen exits") {
            EXPECT_TRUE(ParseEntriesJson(row.text, defs, entries));
        }
    }
    // As many entries as a level holds are read.
    LevelContent full;
    EXPECT_EQ(ParseLevelJson(level(repeated(sprite, kMaxLevelEntries), repeated(exit, kMaxLevelExits)), defs, full),
              std::nullopt);
    EXPECT_EQ(full.objectList.size(), kMaxLevelEntries);
}

}  // namespace
}  // namespace mw
