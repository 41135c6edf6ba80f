#pragma once

#include "engine/translation_form.h"
#include "shape/window_drag.h"
#include "window/control.h"
#include "window/twips.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace verz {

class ClickLabel;
class ImageBox;
class PictureBox;
class ShapeOutline;
class TranslationRequest;

// The program's one window. Building it runs the whole start-up (Form_Load)
// and shows it; its handlers carry the names of the events that raise them.
class Verz final : public QWidget, public TranslationForm {
    Q_OBJECT
public:
    // Hears the start-up steps and the handlers they raise, in order.
    using StartupTrace = std::function<void(const QString &step)>;
    using ProgramEnder = std::function<void(int status)>;

    explicit Verz(QWidget *parent = nullptr);
    explicit Verz(StartupTrace trace, QWidget *parent = nullptr);
    ~Verz() override;

    // The pair code of the row chosen last; empty before the first choice.
    const QString &Lang() const { return lang_; }
    float DeltaPix() const { return deltaPix_; }
    const TwipsLayer &twips() const { return twips_; }
    const QImage &skin() const { return skin_; }

    // Every control in collection order, the created Option1 elements included.
    const std::vector<Control *> &controls() const { return collection_; }
    Control *control(const QString &name, int index = -1) const;

    // Properties whose change raises an event, as in the window's conventions.
    void setOption1Value(int index);  // Option1(index).Value = True
    void setComboListIndex(int index);
    int comboListIndex() const;
    void setText1(const QString &text);
    void setText2(const QString &text);
    QString text1() const;
    QString text2() const;
    QString text1Tag() const;

    // Replaces the end of the program after "Quitter" (tests keep running).
    void setProgramEnder(ProgramEnder ender) { programEnder_ = std::move(ender); }

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void Form_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, QPointF where);
    void Command6_Click();
    void Option1_Click(int index);
    void Combo1_Click();
    void Text1_Click();
    void Text1_Change();
    void Text2_Change();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Image1_Click();
    void Label6_Click();
    void Label2_Click();
    void Label1_Click();
    void Label3_Click();
    void Label4_Click();
    void Command8_Click();
    void Labc_Click(int index);
    void Image3_Click();

    // TranslationForm, over Text1, Check1, Combo1, Lang, Text2 and Command6.
    QString inputText() const override;
    int foldValue() const override;
    int pairRow() const override;
    QString pairCode() const override;
    QString outputText() const override;
    void setOutputText(const QString &text) override;
    void appendTranslation(const QString &translation) override;
    void setTranslateEnabled(bool enabled) override;
    void setBusy(bool busy) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Widgets {
        QFrame *FraConfig = nullptr;
        std::array<QRadioButton *, 16> Option1{};
        QListWidget *List1 = nullptr;
        QPushButton *Command6 = nullptr;
        QPushButton *Command3 = nullptr;
        QPushButton *Command2 = nullptr;
        QComboBox *Combo1 = nullptr;
        QPlainTextEdit *Text1 = nullptr;
        QPushButton *Command4 = nullptr;
        QPushButton *Command5 = nullptr;
        QPlainTextEdit *Text2 = nullptr;
        PictureBox *Picture1 = nullptr;
        QCheckBox *Check1 = nullptr;
        std::array<ClickLabel *, 4> Label7{};
        ImageBox *ImaVerz = nullptr;
        ImageBox *ImageOrg = nullptr;
        ClickLabel *Label6 = nullptr;
        ImageBox *Image1 = nullptr;
        ClickLabel *Label2 = nullptr;
        std::array<ShapeOutline *, 3> Shape1{};
        ClickLabel *Label1 = nullptr;
        QToolButton *Command8 = nullptr;
        ClickLabel *Label8 = nullptr;
        std::array<ClickLabel *, 2> Labc{};
        ImageBox *Image3 = nullptr;
        std::array<ImageBox *, 6> Image2{};
        ClickLabel *Label4 = nullptr;
        ClickLabel *Label3 = nullptr;
    };

    // Layout.
    void BuildControls();
    Control &AddControl(const ControlEntry &entry, QWidget *parent, int index,
                        std::size_t collectionPosition);
    void TakeWidget(const Control &control);
    void StackControls();
    void OrderTabs();
    void ConnectHandlers();
    void ConnectOption(int index);

    // Start-up.
    void ShapeWindow();
    void CentreOnScreen();
    void FillPairList();
    void ShowPairFlags();
    void SizeForText(QPlainTextEdit &box);
    void Trace(const char16_t *step) const;

    StartupTrace trace_;
    TwipsLayer twips_;
    QImage skin_;
    QString lang_;
    float deltaPix_ = 1.0f;
    Widgets w_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control *> collection_;
    std::unique_ptr<TranslationRequest> request_;
    WindowDrag drag_;
    ProgramEnder programEnder_;
    bool busy_ = false;
    bool wasMinimised_ = false;
};

}  // namespace verz
