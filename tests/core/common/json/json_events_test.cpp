#include "common/json/json_events.h"

#include "json_event_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zentrel;

TEST(JsonEvents, ReportsWhatTheLibraryReports)
{
    for (const std::string &text : jsonEdgeTexts()) {
        EXPECT_EQ(readerEvents(text), libraryEvents(text)) << text;
    }
}

TEST(JsonEvents, PointsPastTheTokenOfEachEvent)
{
    // The Excalidraw import cuts members and objects out of the text by these places.
    const std::string text = R"( { "k" : 12 , "s":[ "x" , true ] , "e" : {} } )";

    struct Places : JsonEventLog
    {
        const char *reach = nullptr;
        const char *start = nullptr;
        std::vector<std::string> seen;

        bool note()
        {
            seen.push_back(std::string(start, reach));
            return true;
        }

        bool key(std::string &) { return note(); }

        bool start_object(std::size_t) { return note(); }

        bool end_object() { return note(); }

        bool start_array(std::size_t) { return note(); }

        bool end_array() { return note(); }

        bool string(std::string &) { return note(); }

        bool boolean(bool) { return note(); }

        bool number_unsigned(std::uint64_t) { return note(); }
    } places;

    places.start = text.data();
    ASSERT_TRUE(readJsonEvents(text, places, &places.reach));
    const std::vector<std::string> expected = {
        R"( {)",
        R"( { "k")",
        R"( { "k" : 12)",
        R"( { "k" : 12 , "s")",
        R"( { "k" : 12 , "s":[)",
        R"( { "k" : 12 , "s":[ "x")",
        R"( { "k" : 12 , "s":[ "x" , true)",
        R"( { "k" : 12 , "s":[ "x" , true ])",
        R"( { "k" : 12 , "s":[ "x" , true ] , "e")",
        R"( { "k" : 12 , "s":[ "x" , true ] , "e" : {)",
        R"( { "k" : 12 , "s":[ "x" , true ] , "e" : {})",
        R"( { "k" : 12 , "s":[ "x" , true ] , "e" : {} })",
    };
    EXPECT_EQ(places.seen, expected);
}
