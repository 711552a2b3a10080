#include "hue/event_changes.hpp"

#include <string>

#include <gtest/gtest.h>

namespace Hue {
namespace {

// "kind id type path" for each change, joined with ';'.
std::string summary(const EventChanges& changes) {
    std::string text;
    for (const auto& change : changes.changes) {
        if (!text.empty()) text += ';';
        text += change.kind + ' ' + change.id + ' ' + change.type + ' ' + change.path;
    }
    return text;
}

TEST(EventChangesReading, NamesTheResourcesToRead) {
    const struct {
        const char* name;
        const char* data;
        const char* changes;
    } cases[] = {
        {"one update",
         R"([{"type":"update","id":"x","data":[{"id":"y","id_v1":"/lights/3","on":{"on":false}}]}])",
         "light 3 update /lights/3"},
        {"every kind and type",
         R"([{"type":"add","data":[{"id_v1":"/groups/1"}]},)"
         R"({"type":"delete","data":[{"id_v1":"/sensors/5"}]},)"
         R"({"type":"error","data":[{"id_v1":"/lights/12"}]}])",
         "group 1 add /groups/1;sensor 5 delete /sensors/5;light 12 error /lights/12"},
        {"several resources, each once",
         R"([{"type":"update","data":[{"id_v1":"/lights/1"},{"id_v1":"/lights/2"}]},)"
         R"({"type":"update","data":[{"id_v1":"/lights/1"}]},)"
         R"({"type":"delete","data":[{"id_v1":"/lights/1"}]}])",
         "light 1 update /lights/1;light 2 update /lights/2;light 1 delete /lights/1"},
        {"without id_v1", R"([{"type":"update","data":[{"id":"abc","type":"light"}]}])", ""},
        {"other kinds and forms",
         R"([{"type":"update","data":[{"id_v1":"/scenes/ab"},{"id_v1":"/config"},)"
         R"({"id_v1":"/lights/"},{"id_v1":"/lights/3/state"},{"id_v1":"lights/3"},)"
         R"({"id_v1":"/lights/3?x"},{"id_v1":"/lights/%33"},{"id_v1":"/lights/a b"},)"
         R"({"id_v1":3},{"id_v1":"/Lights/3"},{"id_v1":"/sensors/a-b_C9"}]}])",
         "sensor a-b_C9 update /sensors/a-b_C9"},
        {"other containers",
         R"([{"type":"changed","data":[{"id_v1":"/lights/1"}]},{"data":[{"id_v1":"/lights/2"}]},)"
         R"({"type":"update","data":{"id_v1":"/lights/3"}},{"type":1,"data":[]},3,"x",null,)"
         R"({"type":"update","data":[1,null,{"id_v1":"/lights/4"}]}])",
         "light 4 update /lights/4"},
        {"an empty array", "[]", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EventChanges changes = read_event_changes(c.data);
        EXPECT_EQ(c.changes, summary(changes));
        EXPECT_FALSE(changes.skipped);
    }
}

TEST(EventChangesReading, SkipsDataThatIsNoArrayWithAReason) {
    const struct {
        const char* data;
        const char* reason;
    } cases[] = {
        {"", "Error: the event's data is not JSON (line 1, column 1)."},
        {"[{\"type\":", "Error: the event's data is not JSON (line 1, column 10)."},
        {R"({"type":"update","data":[{"id_v1":"/lights/1"}]})", "the event's data is not an array"},
        {"\"hi\"", "the event's data is not an array"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const EventChanges changes = read_event_changes(c.data);
        EXPECT_TRUE(changes.changes.empty());
        EXPECT_EQ(std::optional<std::string>(c.reason), changes.skipped);
    }
}

}  // namespace
}  // namespace Hue
