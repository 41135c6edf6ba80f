// The pair list, the flags, the stored row and the opening and closing of the window.
#include "window_fixture.h"

#include "engine/scratch_file.h"
#include "engine/service_endpoint.h"
#include "engine/translation_request.h"
#include "pairs/pair_catalogue.h"
#include "support/stand_in_server.h"
#include "support/toolkit.h"
#include "widgets/control_widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace verz::test {
namespace {

class PairsStartupTest : public WindowTest {
protected:
    qint64 pictureOf(const Verz &window, const QString &name)
    {
        return find<ImageBox>(window, name)->picture().cacheKey();
    }
    qint64 flag(const Verz &window, int index)
    {
        return pictureOf(window, QStringLiteral("Image2_%1").arg(index));
    }
    bool hasPicture(const Verz &window, const QString &name)
    {
        return !find<ImageBox>(window, name)->picture().isNull();
    }
};

TEST_F(PairsStartupTest, FillLoadsSixteenRowsAndTwelveVisibleButtons)
{
    auto window = open();
    auto *labels = find<QComboBox>(*window, QStringLiteral("Combo1"));
    auto *codes = find<QListWidget>(*window, QStringLiteral("List1"));
    ASSERT_EQ(labels->count(), 16);
    ASSERT_EQ(codes->count(), 16);
    int visible = 0;
    const float top0 = 1044.0f;
    for (int i = 0; i < 16; ++i) {
        const LanguagePair &row = PairCatalogue()[static_cast<std::size_t>(i)];
        EXPECT_EQ(labels->itemText(i), row.labelText());
        EXPECT_EQ(codes->item(i)->text(), row.codeText());
        auto *button = find<QRadioButton>(*window, QStringLiteral("Option1_%1").arg(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), row.labelText());
        EXPECT_FLOAT_EQ(window->control(QStringLiteral("Option1"), i)->top(), top0 + 280.0f * i);
        EXPECT_EQ(button->x(), 540);
        if (button->isVisible())
            ++visible;
    }
    EXPECT_EQ(visible, 12);
    for (int separator : {5, 8, 11, 15}) {
        EXPECT_TRUE(codes->item(separator)->text().isEmpty());
        EXPECT_FALSE(find(*window, QStringLiteral("Option1_%1").arg(separator))->isVisible());
    }
}

TEST_F(PairsStartupTest, ClickingAPairStoresItsRowBeforeLangAndShowsItsFlags)
{
    auto window = open();
    auto *germanEnglish = find<QRadioButton>(*window, QStringLiteral("Option1_10"));
    ASSERT_EQ(germanEnglish->text(), QStringLiteral("Allemand vers Anglais"));
    QTest::mouseClick(germanEnglish, Qt::LeftButton, {}, QPoint(8, germanEnglish->height() / 2));
    EXPECT_EQ(window->comboListIndex(), 10);
    EXPECT_EQ(stored(QStringLiteral("list")), QStringLiteral("10"));
    EXPECT_EQ(window->Lang(), QStringLiteral("de|en"));
    EXPECT_EQ(pictureOf(*window, QStringLiteral("ImageOrg")), flag(*window, 3));
    EXPECT_EQ(pictureOf(*window, QStringLiteral("ImaVerz")), flag(*window, 1));
    const TranslationRequest request(QStringLiteral("127.0.0.1:1"), ScratchFilePath());
    EXPECT_TRUE(request.queryAddress(window->inputText(), window->pairCode())
                    .endsWith(QStringLiteral("&langpair=de|en")));
}

TEST_F(PairsStartupTest, EveryPairCodeSetsBothFlags)
{
    auto window = open();
    const QStringList order{QStringLiteral("fr"), QStringLiteral("en"), QStringLiteral("es"),
                            QStringLiteral("de"), QStringLiteral("pt"), QStringLiteral("it")};
    for (int row = 0; row < 16; ++row) {
        const QString code = PairCatalogue()[static_cast<std::size_t>(row)].codeText();
        if (code.isEmpty())
            continue;
        SCOPED_TRACE(code.toStdString());
        window->setOption1Value(row);
        EXPECT_EQ(window->Lang(), code);
        EXPECT_EQ(pictureOf(*window, QStringLiteral("ImageOrg")),
                  flag(*window, static_cast<int>(order.indexOf(code.left(2)))));
        EXPECT_EQ(pictureOf(*window, QStringLiteral("ImaVerz")),
                  flag(*window, static_cast<int>(order.indexOf(code.right(2)))));
    }
}

TEST_F(PairsStartupTest, ChoosingAPairHidesTheAboutPanel)
{
    auto window = open();
    VerzTestSeam::Label6_Click(*window);
    ASSERT_TRUE(find(*window, QStringLiteral("FraConfig"))->isVisible());
    window->setOption1Value(0);
    EXPECT_FALSE(find(*window, QStringLiteral("FraConfig"))->isVisible());
}

TEST_F(PairsStartupTest, FirstRunChoosesFrenchEnglishAndStoresIt)
{
    forget(QStringLiteral("list"));
    auto window = open();
    EXPECT_EQ(window->comboListIndex(), 6);
    EXPECT_EQ(window->Lang(), QStringLiteral("fr|en"));
    EXPECT_TRUE(find<QRadioButton>(*window, QStringLiteral("Option1_6"))->isChecked());
    EXPECT_EQ(stored(QStringLiteral("list")), QStringLiteral("6"));
}

TEST_F(PairsStartupTest, StoredRowIsRestoredAndWrittenBack)
{
    store(QStringLiteral("list"), QStringLiteral("10"));
    int writes = 0;
    auto window = open([&writes](const QString &step) {
        if (step == u"Combo1_Click")
            ++writes;
    });
    EXPECT_EQ(window->Lang(), QStringLiteral("de|en"));
    EXPECT_EQ(pictureOf(*window, QStringLiteral("ImageOrg")), flag(*window, 3));
    EXPECT_EQ(pictureOf(*window, QStringLiteral("ImaVerz")), flag(*window, 1));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(stored(QStringLiteral("list")), QStringLiteral("10"));
}

TEST_F(PairsStartupTest, StoredSeparatorLeavesLangEmptyAndNoFlags)
{
    for (const char16_t *separator : {u"5", u"8", u"11", u"15"}) {
        SCOPED_TRACE(QString::fromUtf16(separator).toStdString());
        store(QStringLiteral("list"), QString::fromUtf16(separator));
        auto window = open();
        EXPECT_EQ(window->comboListIndex(), QString::fromUtf16(separator).toInt());
        EXPECT_TRUE(window->Lang().isEmpty());
        EXPECT_FALSE(hasPicture(*window, QStringLiteral("ImageOrg")));
        EXPECT_FALSE(hasPicture(*window, QStringLiteral("ImaVerz")));
        EXPECT_EQ(stored(QStringLiteral("list")), QString::fromUtf16(separator));
    }
}

TEST_F(PairsStartupTest, BadStoredValuesFallBackToRowSixAndRepairTheStore)
{
    for (const char16_t *bad : {u"", u"abc", u"5.5", u"-1", u"99", u" 7", u"16"}) {
        SCOPED_TRACE(QString::fromUtf16(bad).toStdString());
        store(QStringLiteral("list"), QString::fromUtf16(bad));
        auto window = open();
        EXPECT_EQ(window->comboListIndex(), 6);
        EXPECT_EQ(window->Lang(), QStringLiteral("fr|en"));
        EXPECT_EQ(stored(QStringLiteral("list")), QStringLiteral("6"));
    }
}

TEST_F(PairsStartupTest, VersionLineIsWrittenAtStartUp)
{
    auto window = open();
    EXPECT_EQ(find<QLabel>(*window, QStringLiteral("Label8"))->text(),
              QStringLiteral("Version: 3.1"));
}

TEST_F(PairsStartupTest, StartUpRunsInOrderWhileHiddenUnderTheBusyPointer)
{
    store(QStringLiteral("list"), QStringLiteral("9"));
    struct Seen {
        QString step;
        bool visible;
        bool busy;
    };
    std::vector<Seen> seen;
    QStringList steps;
    auto window = std::make_unique<Verz>([&](const QString &step) {
        steps << step;
        bool visible = false;
        for (const QWidget *top : QApplication::topLevelWidgets()) {
            if (qobject_cast<const Verz *>(top) != nullptr)
                visible = visible || top->isVisible();
        }
        const QCursor *pointer = QApplication::overrideCursor();
        seen.push_back({step, visible, pointer != nullptr && pointer->shape() == Qt::WaitCursor});
    });
    const QStringList expected{
        QStringLiteral("hidden"),          QStringLiteral("busy pointer"),
        QStringLiteral("FraConfig.Left"),  QStringLiteral("Picture1"),
        QStringLiteral("DeltaPix"),        QStringLiteral("FillPairList"),
        QStringLiteral("ShapeWindow"),     QStringLiteral("Command6.Picture"),
        QStringLiteral("stored row read"), QStringLiteral("Option1_Click"),
        QStringLiteral("Combo1_Click"),    QStringLiteral("Label8"),
        QStringLiteral("default pointer"), QStringLiteral("pending events"),
        QStringLiteral("shown"),
    };
    EXPECT_EQ(steps, expected);  // at 96 dpi nothing is rescaled
    for (const Seen &s : seen) {
        if (s.step == u"shown")
            continue;
        EXPECT_FALSE(s.visible) << s.step.toStdString();
        const bool busyExpected =
            s.step != u"hidden" && s.step != u"default pointer" && s.step != u"pending events";
        EXPECT_EQ(s.busy, busyExpected) << s.step.toStdString();
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window->Lang(), QStringLiteral("de|fr"));
}

TEST_F(PairsStartupTest, ClosingDeletesTheScratchFileAndToleratesItsAbsence)
{
    {
        auto window = open();
        QFile scratch(ScratchFilePath());
        ASSERT_TRUE(scratch.open(QIODevice::WriteOnly));
        scratch.write("page");
        scratch.close();
        EXPECT_TRUE(window->close());
        EXPECT_FALSE(QFile::exists(ScratchFilePath()));
    }
    {
        auto window = open();
        ASSERT_FALSE(QFile::exists(ScratchFilePath()));
        EXPECT_TRUE(window->close());
        EXPECT_FALSE(window->isVisible());
    }
    // The choice was stored when it was made, not at close.
    EXPECT_EQ(stored(QStringLiteral("list")), QStringLiteral("6"));
}

TEST_F(PairsStartupTest, TranslateButtonRunsTheRequestOnTheChosenPair)
{
    StandInServer server;
    server.setPage(QByteArrayLiteral("<div id=result_box dir=\"ltr\">Hello world</div>"));
    store(QStringLiteral("service"), server.host());
    store(QStringLiteral("list"), QStringLiteral("6"));
    auto window = open();
    window->setText1(QStringLiteral("Bonjour le monde"));
    auto *translate = find<QPushButton>(*window, QStringLiteral("Command6"));
    QTest::mouseClick(translate, Qt::LeftButton);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "langpair"), QStringLiteral("fr|en"));
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "text"),
              QStringLiteral("Bonjour le monde"));
    EXPECT_EQ(window->text2(), QStringLiteral("Hello world "));
    EXPECT_TRUE(translate->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer ended with it
    EXPECT_TRUE(QFile::exists(ScratchFilePath()));
    window->close();
    EXPECT_FALSE(QFile::exists(ScratchFilePath()));
}

// A burst of selections over the bus while one translates: only the last few
// wait, the latest last; the rest are dropped, not translated for minutes.
TEST_F(PairsStartupTest, ABurstOfSelectionsKeepsOnlyTheLatestFewWaiting)
{
    StandInServer server;
    StandInServer::Script slow;
    slow.echoText = true;
    slow.delayMs = 200;
    server.setScript(slow);
    store(QStringLiteral("service"), server.host());
    auto window = open();
    constexpr int kBurst = 1000;
    for (int i = 0; i < kBurst; ++i)
        QTimer::singleShot(0, window.get(), [&window, i] {
            window->TranslateSelection(QStringLiteral("texte %1").arg(i), -1);
        });
    ASSERT_TRUE(WaitUntil(
        [&] { return window->text2().contains(QStringLiteral("texte %1").arg(kBurst - 1)); },
        60000));
    const int expected = 1 + int(Verz::kMaxWaitingSelections);
    ASSERT_EQ(server.requests().size(), expected);
    EXPECT_EQ(StandInServer::queryValue(server.requests().first().target, "text"),
              QStringLiteral("texte 0"));
    for (int i = 1; i < expected; ++i)
        EXPECT_EQ(StandInServer::queryValue(server.requests().at(i).target, "text"),
                  QStringLiteral("texte %1").arg(kBurst - expected + i));
}

TEST_F(PairsStartupTest, ClosingWhileATranslationRunsAbandonsItUnderTheBusyPointer)
{
    StandInServer server;
    StandInServer::Script hang;
    hang.hang = true;
    server.setScript(hang);
    store(QStringLiteral("service"), server.host());
    auto window = open();
    bool busyWhileRunning = false;
    bool closed = false;
    // Once the request has reached the server, close the window from inside
    // the download's own event loop, as a user would.
    std::function<void()> closeWhenAsked = [&] {
        if (server.requests().isEmpty()) {
            QTimer::singleShot(0, window.get(), closeWhenAsked);
            return;
        }
        const QCursor *pointer = QApplication::overrideCursor();
        busyWhileRunning = pointer != nullptr && pointer->shape() == Qt::WaitCursor;
        closed = window->close();
    };
    QTimer::singleShot(0, window.get(), closeWhenAsked);
    VerzTestSeam::Command6_Click(*window);
    EXPECT_TRUE(busyWhileRunning);
    EXPECT_TRUE(closed);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(QFile::exists(ScratchFilePath()));
    EXPECT_TRUE(window->text2().isEmpty());
}

TEST_F(PairsStartupTest, TranslateWithoutServiceSaysNotConnected)
{
    auto window = open();  // the fixture's dead port
    QTest::mouseClick(find<QPushButton>(*window, QStringLiteral("Command6")), Qt::LeftButton);
    EXPECT_EQ(window->text2(), QStringLiteral("Non Connecté"));
    EXPECT_TRUE(find(*window, QStringLiteral("Command6"))->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace verz::test
