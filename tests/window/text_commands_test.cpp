// Clear, copy, paste and move-up, the placeholder and the font-size rule.
#include "window_fixture.h"

#include "engine/page_reader.h"
#include "window/box_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace verz::test {
namespace {

class TextCommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window_ = open();
        QGuiApplication::clipboard()->clear();
    }
    void click(const char16_t *name)
    {
        QWidget *target = find(*window_, QString::fromUtf16(name));
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
    }
    void clickIntoInput()
    {
        auto *box = find<QPlainTextEdit>(*window_, QStringLiteral("Text1"));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    }
    qreal points(const char16_t *box)
    {
        return find(*window_, QString::fromUtf16(box))->font().pointSizeF();
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }

    std::unique_ptr<Verz> window_;
};

TEST_F(TextCommandsTest, FirstClickIntoTheInputRemovesThePlaceholderOnce)
{
    auto *box = find<QPlainTextEdit>(*window_, QStringLiteral("Text1"));
    QTest::mouseClick(box->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(window_->text1Tag(), QStringLiteral("S"));  // a click is the left button
    QTest::keyClicks(box, QStringLiteral("x"));           // typed before the first click
    clickIntoInput();
    EXPECT_EQ(window_->text1(), QString());
    EXPECT_EQ(window_->text1Tag(), QString());
    window_->setText1(QStringLiteral("gardé"));
    clickIntoInput();
    EXPECT_EQ(window_->text1(), QStringLiteral("gardé"));
}

TEST_F(TextCommandsTest, FirstClickEmptiesWhatPasteOrMoveUpPutThere)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("collé"));
    click(u"Command4");
    EXPECT_EQ(window_->text1(), QStringLiteral("Tapez ici votre texte.\r\ncollé"));
    clickIntoInput();
    EXPECT_EQ(window_->text1(), QString());

    auto second = open();
    second->setText2(QStringLiteral("traduit"));
    VerzTestSeam::Image1_Click(*second);
    EXPECT_EQ(second->text1(), QStringLiteral("traduit"));
    EXPECT_EQ(second->text1Tag(), QStringLiteral("S"));  // moving up keeps the tag
    VerzTestSeam::Text1_Click(*second);
    EXPECT_EQ(second->text1(), QString());
}

TEST_F(TextCommandsTest, FontSizeFollowsTheLengthWithLineBreaksCountingTwo)
{
    EXPECT_DOUBLE_EQ(points(u"Text1"), 21.75);  // design size until the first change
    window_->setText1(QString(50, QLatin1Char('a')));
    EXPECT_DOUBLE_EQ(points(u"Text1"), 24.0);
    window_->setText1(QString(51, QLatin1Char('a')));
    EXPECT_DOUBLE_EQ(points(u"Text1"), 14.0);
    click(u"Command5");
    EXPECT_DOUBLE_EQ(points(u"Text1"), 24.0);
    window_->setText1(QString(48, QLatin1Char('a')) + QStringLiteral("\r\n"));
    EXPECT_DOUBLE_EQ(points(u"Text1"), 24.0);
    window_->setText1(QString(49, QLatin1Char('a')) + QStringLiteral("\r\n"));
    EXPECT_DOUBLE_EQ(points(u"Text1"), 14.0);

    // Typing counts as a change too.
    auto *output = find<QPlainTextEdit>(*window_, QStringLiteral("Text2"));
    QTest::keyClicks(output, QString(51, QLatin1Char('b')));
    EXPECT_DOUBLE_EQ(points(u"Text2"), 14.0);
    click(u"Command2");
    EXPECT_EQ(window_->text2(), QString());
    EXPECT_DOUBLE_EQ(points(u"Text2"), 24.0);
}

TEST_F(TextCommandsTest, TranslationIsAddedToTheOutputWithoutRebuildingIt)
{
    // A box rebuilt for every translation froze the window for seconds on big
    // pages; added at the end, the text and the caret before it stay as they were.
    auto *output = find<QPlainTextEdit>(*window_, QStringLiteral("Text2"));
    window_->appendTranslation(QStringLiteral("un"));
    EXPECT_EQ(window_->text2(), QStringLiteral("un "));
    QTextCursor caret = output->textCursor();
    caret.setPosition(1);
    output->setTextCursor(caret);
    const QTextBlock first = output->document()->firstBlock();
    window_->appendTranslation(QStringLiteral("deux"));
    EXPECT_EQ(window_->text2(), QStringLiteral("un \r\ndeux "));
    EXPECT_EQ(output->textCursor().position(), 1);
    EXPECT_EQ(output->document()->firstBlock(), first);
}

TEST_F(TextCommandsTest, LongTranslationIsHeldInShortBlocksYetReadCopiedAndUndoneAsOneLine)
{
    // Laid out whole, a one-line page froze the window: the box holds it in
    // blocks, and nothing the user reads or copies shows the cuts.
    auto *output = find<QPlainTextEdit>(*window_, QStringLiteral("Text2"));
    QString page;
    while (page.size() < 100'000)
        page += QStringLiteral("Il fait beau et nous partons demain matin. Vraiment ? ");
    window_->appendTranslation(QStringLiteral("un"));
    const QSignalSpy changes(output, &QPlainTextEdit::textChanged);
    window_->appendTranslation(page);
    const QString whole = AppendTranslation(QStringLiteral("un "), page);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_GT(output->document()->blockCount(), 6);
    EXPECT_EQ(window_->text2(), whole);
    EXPECT_EQ(BoxTextLength(*output), whole.size());
    output->selectAll();
    output->copy();
    EXPECT_EQ(clipboard(), ToLineFeeds(whole));
    output->undo();
    EXPECT_EQ(window_->text2(), QStringLiteral("un "));
    output->redo();
    EXPECT_EQ(window_->text2(), whole);
    // A text set anew holds no cuts: its own no-break space before a break stays a break.
    window_->setText2(QStringLiteral("a\u00a0\r\nb"));
    EXPECT_EQ(window_->text2(), QStringLiteral("a \r\nb"));
}

TEST_F(TextCommandsTest, LongLineWithoutSpacesIsCutBetweenCharactersYetReadCopiedMovedAndUndone)
{
    // A line with no space to cut after was laid out whole, in time growing with
    // the square of its length. It is cut between characters as the user sees
    // them: never inside a surrogate pair, nor between a letter and its accent.
    auto *output = find<QPlainTextEdit>(*window_, QStringLiteral("Text2"));
    auto *input = find<QPlainTextEdit>(*window_, QStringLiteral("Text1"));
    QString line;
    while (line.size() < 100'000)  // 6 units: the cuts fall on every kind of unit
        line += QStringLiteral("xe\u0301\U0001F600\u2060");
    window_->appendTranslation(QStringLiteral("un"));
    window_->appendTranslation(line);
    const QString whole = AppendTranslation(QStringLiteral("un "), line);
    const auto expectCutBetweenCharacters = [](const QPlainTextEdit &box) {
        EXPECT_GT(box.document()->blockCount(), 6);
        for (QTextBlock block = box.document()->firstBlock(); block.isValid();
             block = block.next()) {
            const QString text = block.text();
            ASSERT_LE(text.size(), 20'000);
            EXPECT_FALSE(text.startsWith(u'\u0301') ||
                         (!text.isEmpty() && text.front().isLowSurrogate()));
        }
    };
    expectCutBetweenCharacters(*output);
    EXPECT_TRUE(window_->text2() == whole);
    EXPECT_EQ(BoxTextLength(*output), whole.size());
    // A selection across the first cut copies as the line: the cut (a mark and a
    // break, two positions) leaves no trace.
    QTextCursor piece = output->textCursor();
    piece.setPosition(4 + 16'000);
    piece.setPosition(4 + 17'000, QTextCursor::KeepAnchor);
    output->setTextCursor(piece);
    output->copy();
    EXPECT_TRUE(clipboard() == ToLineFeeds(whole).mid(4 + 16'000, 1'000 - 2));
    output->undo();
    EXPECT_EQ(window_->text2(), QStringLiteral("un "));
    output->redo();
    EXPECT_TRUE(window_->text2() == whole);

    // Moved up, it is held the same way in the input box.
    window_->setText2(line);
    click(u"Image1");
    expectCutBetweenCharacters(*input);
    EXPECT_TRUE(window_->text1() == line);
    // And so when pasted with the box's own command.
    window_->setText1(QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(line);
    input->moveCursor(QTextCursor::Start);
    input->moveCursor(QTextCursor::NextCharacter);
    input->paste();
    expectCutBetweenCharacters(*input);
    EXPECT_TRUE(window_->text1() == u'a' + line + u'b');
}

TEST_F(TextCommandsTest, CopyAndPasteKeepEveryUnicodeCharacter)
{
    const QString text = QStringLiteral("Ελληνικά, 日本語, œuvre, € — ok");
    window_->setText2(text);
    click(u"Command3");
    EXPECT_EQ(clipboard(), text);
    click(u"Command5");
    click(u"Command4");
    EXPECT_EQ(window_->text1(), text);
}

TEST_F(TextCommandsTest, PasteAppendsAtTheEndWhateverTheCaretAndTwiceMeansTwice)
{
    window_->setText1(QStringLiteral("début "));
    auto *input = find<QPlainTextEdit>(*window_, QStringLiteral("Text1"));
    QTextCursor caret = input->textCursor();
    caret.setPosition(0);
    input->setTextCursor(caret);
    QGuiApplication::clipboard()->setText(QStringLiteral("fin"));
    click(u"Command4");
    click(u"Command4");
    EXPECT_EQ(window_->text1(), QStringLiteral("début finfin"));
}

TEST_F(TextCommandsTest, PasteWithoutTextOnTheClipboardAddsNothing)
{
    window_->setText1(QStringLiteral("reste"));
    QGuiApplication::clipboard()->clear();
    click(u"Command4");
    EXPECT_EQ(window_->text1(), QStringLiteral("reste"));
}

TEST_F(TextCommandsTest, MoveUpCarriesTheWholeOutputThroughTheClipboard)
{
    window_->setText1(QStringLiteral("ancien"));
    window_->setText2(QStringLiteral("Hello \r\nWorld "));
    click(u"Image1");
    EXPECT_EQ(window_->text1(), QStringLiteral("Hello \r\nWorld "));
    EXPECT_EQ(window_->text2(), QString());
    EXPECT_EQ(clipboard(), QStringLiteral("Hello \nWorld "));
}

TEST_F(TextCommandsTest, MoveUpWithAnEmptyOutputLeavesBothBoxesEmpty)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    window_->setText1(QStringLiteral("ancien"));
    VerzTestSeam::Image1_Click(*window_);
    EXPECT_EQ(clipboard(), QString());
    EXPECT_EQ(window_->text1(), QString());
    EXPECT_EQ(window_->text2(), QString());
}

}  // namespace
}  // namespace verz::test
