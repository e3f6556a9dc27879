#include "common/emoji_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace zentrel;

namespace {

// The emoji of `text` as the text they cover.
std::vector<std::u16string> emojiOf(const std::u16string &text)
{
    std::vector<std::u16string> found;
    for (const TextRange &run : emojiRuns(text)) {
        found.push_back(text.substr(run.begin, run.end - run.begin));
    }
    return found;
}

} // namespace

TEST(EmojiRuns, EmojiByDefaultOrBySelectorAreWholeSequencesAndTextStaysText)
{
    const std::vector<std::pair<std::u16string, std::vector<std::u16string>>> cases{
        {u"Hi 😀 there", {u"😀"}},
        {u"I ❤️ you", {u"❤️"}},
        {u"❤ alone", {}},
        {u"☺\uFE0E text ☺\uFE0F emoji", {u"☺\uFE0F"}},
        {u"# 1 © ™ #️⃣ 1\u20E3", {u"#️⃣", u"1\u20E3"}},
        {u"👍🏽 👍", {u"👍🏽", u"👍"}},
        {u"🇩🇪🇫🇷", {u"🇩🇪🇫🇷"}},
        {u"👩\u200D👩\u200D👧!", {u"👩\u200D👩\u200D👧"}},
        {u"❤️\u200D🔥", {u"❤️\u200D🔥"}},
        {u"🏴\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",
         {u"🏴\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F"}},
        {u"⌚⏰ab", {u"⌚⏰"}},
        {u"\xD83D lone \xDE00", {}},
        {u"😀\u200D", {u"😀"}},
    };
    for (const auto &[text, emoji] : cases) {
        EXPECT_EQ(emojiOf(text), emoji) << std::string(text.begin(), text.end());
    }
}
