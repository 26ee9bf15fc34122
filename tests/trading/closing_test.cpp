// Closing and reversing holdings from the grid's menu, and the close-all button.
#include "bracket_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

const std::string kOrderQuestion =
    "Order wirklich ausführen ?\nDiese Sicherheitsabfrage kann unter 'Sonstiges' deaktiviert werden!";
const std::string kCloseAllQuestion = "Wirklich alle Positionen glattstellen ?\nDiese Sicherheitsabfrage "
                                      "kann unter 'Sonstiges' deaktiviert werden!";

class ClosingTest : public ::testing::Test, public test::BracketFixture {};

// Closing and reversing a holding that the server books are run in the end-to-end brackets tests.
TEST_F(ClosingTest, TheUsersNoToTheConfirmationSendsNothing) {
    setHolding(1, 4);
    prompts.yesNoAnswers = {false};
    ASSERT_TRUE(chooseFromMenu(instrumentRow(1), "Position Glattstellen"));
    EXPECT_EQ(prompts.asked, (Texts{kOrderQuestion}));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(ClosingTest, AFlatInstrumentIsRefusedWithoutSending) {
    ASSERT_TRUE(chooseFromMenu(instrumentRow(1), "Position Glattstellen"));
    setHolding(2, 0); // a holding record that has gone flat
    actions.setDefaultQuantityText("5");
    ASSERT_TRUE(chooseFromMenu(instrumentRow(2), "Position Drehen"));
    EXPECT_EQ(prompts.asked,
              (Texts{"Kein Bestand - kein Glattstellen möglich!", "Kein Bestand - kein Drehen möglich!"}));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(actions.defaultQuantity(), 5);
    EXPECT_EQ(data.DefaultInstrument, 2);
}

TEST_F(ClosingTest, GlattAsksOnceClosesEveryHoldingThenCancelsWorkingOrders) {
    setHolding(2, -2);
    setHolding(1, 5);
    for (int16_t status : {StatusPendSubm, StatusPreSubm, StatusSubmitted, StatusCancelled, StatusFilled})
        serverOrder(1, "BUY", 1, 70 + status, status);
    data.DefaultInstrument = 2;
    actions.setDefaultQuantityText("9");
    rebuild();

    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked, (Texts{kCloseAllQuestion}));
    EXPECT_EQ(sentTexts(),
              (Texts{"@PO=ACC1;101;2;BUY ;MKT;2; 0; 0;0;0", "@PO=ACC1;102;1;SEL ;MKT;5; 149.5; 0;0;0",
                     "@CO=ACC1;73;S73", "@CO=ACC1;74;S74"}));
    EXPECT_EQ(log.lines(),
              (Texts{"Glatt: WPBMWGegenorder  2Kontrakte", "Glatt: WPSAPGegenorder -5Kontrakte"}));
    EXPECT_EQ(data.DefaultInstrument, 2);
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 1");
}

TEST_F(ClosingTest, GlattWithoutConfirmationOrHoldingsStillCancelsAndANoStopsEverything) {
    serverOrder(1, "BUY", 1, 80, StatusSubmitted);
    prompts.yesNoAnswers = {false};
    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked, (Texts{kCloseAllQuestion}));
    EXPECT_TRUE(socket.sent.empty());

    settings.confirmation = 0;
    actions.setDefaultQuantityText("4");
    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;80;S80"}));
    EXPECT_EQ(actions.defaultQuantity(), 1);
}

} // namespace
} // namespace kavex
