// The high-score page: the page picture, then the table written column by
// column at fixed places.
#include <cstring>

#include "render_fixture.h"
#include "render/high_score_page.h"
#include "scores/high_score_table.h"

namespace {

class HighScorePage : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        const int scores[HighScoreEntries] = {50, 40, 30, 20, 10};
        for (int i = 0; i < HighScoreEntries; ++i) HighScores.entries[i] = HighScoreEntry{"Unknown", scores[i], 1, 0};
    }
};

TEST_F(HighScorePage, DefaultTableIsWrittenNamesThenScoresThenLevelsThenLines) {
    DrawHighScorePage();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "copy Dialog 19,39 311x361",
                           "text 50,257 \"Unknown\"", "text 50,272 \"Unknown\"", "text 50,287 \"Unknown\"",
                           "text 50,302 \"Unknown\"", "text 50,317 \"Unknown\"",
                           "text 168,257 \"50\"", "text 168,272 \"40\"", "text 168,287 \"30\"",
                           "text 168,302 \"20\"", "text 168,317 \"10\"",
                           "text 238,257 \"1\"", "text 238,272 \"1\"", "text 238,287 \"1\"",
                           "text 238,302 \"1\"", "text 238,317 \"1\"",
                           "text 278,257 \"0\"", "text 278,272 \"0\"", "text 278,287 \"0\"",
                           "text 278,302 \"0\"", "text 278,317 \"0\""}));
    EXPECT_TRUE(fake::EventsOf(fake::Call::Measure).empty()) << "the page's texts are not measured";
}

TEST_F(HighScorePage, NamesAreWrittenWholeAndNumbersInSignedDecimal) {
    std::memset(HighScores.entries[0].name, 'a', HighScoreNameSize - 2);
    HighScores.entries[0].name[HighScoreNameSize - 2] = '\0';  // 254 characters
    HighScores.entries[1].name[0] = '\0';
    std::memset(HighScores.entries[2].name, 'z', HighScoreNameSize);  // no terminator at all
    HighScores.entries[3].score = -40;
    HighScores.entries[4].lines = 1234567;
    DrawHighScorePage();
    const std::vector<fake::Event> texts = fake::EventsOf(fake::Call::Text);
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_EQ(texts[0].text, std::string(254, 'a'));
    EXPECT_EQ(texts[1].text, "");
    EXPECT_EQ(texts[2].text, std::string(255, 'z')) << "stops at the end of its field";
    EXPECT_EQ(texts[8].text, "-40");
    EXPECT_EQ(texts[19].text, "1234567");
}

}  // namespace
