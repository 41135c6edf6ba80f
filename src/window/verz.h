#pragma once

#include "engine/translation_form.h"
#include "shape/region_builder.h"
#include "shape/window_drag.h"
#include "window/about_panel.h"
#include "window/control.h"
#include "window/form_widgets.h"
#include "window/pair_choice.h"
#include "window/twips.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class QPlainTextEdit;

namespace verz {

class ServiceWarmer;
class TranslationRequest;

// The program's one window. Building it runs the whole start-up (Form_Load)
// and shows it; its handlers carry the names of the events that raise them.
class Verz final : public QWidget, public TranslationForm {
    Q_OBJECT
public:
    // Hears the start-up steps and the handlers they raise, in order.
    using StartupTrace = std::function<void(const QString &step)>;

    explicit Verz(QWidget *parent = nullptr);
    explicit Verz(StartupTrace trace, QWidget *parent = nullptr);
    ~Verz() override;

    // The pair code of the row chosen last; empty before the first choice.
    const QString &Lang() const { return pairs_.lang(); }
    float DeltaPix() const { return deltaPix_; }

    // Every control in collection order, the created Option1 elements included.
    const std::vector<Control *> &controls() const { return collection_; }
    Control *control(const QString &name, int index = -1) const;

    // Properties whose change raises an event, as in the window's conventions.
    void setOption1Value(int index);  // Option1(index).Value = True
    int comboListIndex() const;
    void setText1(const QString &text);
    void setText2(const QString &text);
    QString text1() const;
    QString text2() const;
    QString text1Tag() const;

    // "Quitter": unloads the window and ends the program. Also what a logout
    // or a kill does.
    void Label1_Click();

    // A text selected in another program: put into Text1 as "Effacer" then
    // "Coller" would, the pair chosen as a click on its button would (row
    // -1 keeps the current one), translated as "Lancer la traduction" does,
    // the window brought to the front. A text that arrives while a
    // translation runs waits for its end.
    void TranslateSelection(const QString &text, int pairRow);

    // Shown, restored if minimised, raised and asked to be activated. A
    // Wayland window minimised by "Réduire" is mapped anew: nothing brings a
    // minimised surface back on a shell without a task bar.
    void ComeToFront();

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
    // Raises the handlers below as their events would, and replaces the end
    // of the program; defined with the window tests.
    friend struct VerzTestSeam;
    using ProgramEnder = std::function<void(int status)>;

    // Handlers, raised by the events they are named after.
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
    void Label3_Click();
    void Label4_Click();
    void Command8_Click();
    void Labc_Click(int index);
    void Image3_Click();

    // Selections from other programs, in the order they came.
    void TranslateWaitingSelections();

    // Layout.
    void BuildControls();
    Control &AddControl(const ControlEntry &entry, QWidget *parent, int index,
                        std::size_t collectionPosition);
    void StackControls();
    void OrderTabs();
    void ConnectHandlers();
    void ConnectOption(int index);

    // Start-up.
    void ShapeWindow();
    void CentreOnScreen();
    void FillPairList();
    void AddPairButtons();
    void SizeForText(QPlainTextEdit &box);
    void Trace(const char16_t *step) const;
    void WarmChosenPair();

    StartupTrace trace_;
    TwipsLayer twips_;
    // The skin and the outline cut from it, worked out on a thread of their
    // own while the controls are built: decoding 900 KB of bitmap and reading
    // every pixel of it are a large share of the start-up.
    struct Skin {
        QImage picture;
        std::vector<RunRect> outline;
    };
    std::future<Skin> skinReading_;
    QImage skin_;
    std::vector<RunRect> outline_;
    float deltaPix_ = 1.0f;
    FormWidgets w_;
    PairChoice pairs_{w_};
    AboutPanel about_{w_};
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control *> collection_;
    std::unique_ptr<TranslationRequest> request_;
    std::unique_ptr<ServiceWarmer> warmer_;  // none when the settings name a service
    WindowDrag drag_;
    ProgramEnder programEnder_;
    bool busy_ = false;
    bool minimisedOnWayland_ = false;
    struct WaitingSelection {
        QString text;
        int pairRow;
    };
    std::deque<WaitingSelection> waitingSelections_;
    bool translatingSelections_ = false;
};

}  // namespace verz
