// The input box of the Properties, Anchors and Loads dialogs: a number checked against its rule
// when the focus leaves it, refused with a beep that keeps the focus in the box.
#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>
#include <optional>

class QAbstractButton;
class QKeyEvent;

namespace pendrake::ui {

// What a box accepts, judged on the value as it will be stored.
enum class ValueRule {
    Positive, // > 0: a unit weight, a strength, a cover, a pitch
    NonNegative, // >= 0: a cohesion, an angle, a line load
};

// Marks the dialog's Cancel button: moving the focus onto it skips the check of the box left,
// so that Cancel always works while a box holds a bad entry.
void MarkAsCancelButton(QAbstractButton* button);
bool IsCancelButton(const QWidget* widget);

// Enter in the dialogs never presses a default button behind a box: it presses the button that
// has the focus and is swallowed everywhere else. Call from the dialog's keyPressEvent; returns
// true when the key was Enter.
bool HandleDialogEnter(QWidget* dialog, QKeyEvent* event);

// The shortest plain decimal text that reads back as the same single-precision value:
// 2.4f gives "2.4", 23.54f "23.54", 56842 "56842", 0 "0".
QString StoredValueText(float value);

// Rounds halves to the even neighbour: 2.5 gives 2, 3.5 gives 4, -0.5 gives 0.
double RoundHalfEven(double value);

// Where a refused entry's rule is told (the main window's status bar); the beep comes anyway.
void SetRefusalReporter(std::function<void(const QString& rule)> reporter);

// A rich-text caption ("Cohesion (c):", "Unit weight (including<br>reinforcement):") as plain
// words for a tooltip: no markup, no line breaks, no closing colon.
QString PlainCaption(const QString& caption);

class ValidatedBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ValidatedBox(ValueRule rule, QWidget* parent = nullptr);

    // How many typed units make one stored unit: 10 for a small length typed in mm and stored
    // in cm. Set before ShowStored.
    void SetTypedPerStored(double typedPerStored) { typedPerStored_ = typedPerStored; }
    // The box holds a count: stored rounded half to even, and no larger than a 16-bit count.
    void SetCount(bool count) { count_ = count; }

    // What the box holds and in which unit (empty for a plain number): the tooltip says it with
    // the allowed range, and a refused entry tells the same in the status bar.
    void Describe(const QString& meaning, const QString& unit);
    // "Cohesion in T/m², 0 or more": the rule as the tooltip and the status bar give it.
    [[nodiscard]] QString RuleText() const;

    // Fills the box from a stored value (times typedPerStored), as the shortest text that reads
    // back as the same float: the engineer sees what is stored, without padding or rounding.
    void ShowStored(double stored);

    // The value in the stored unit and precision (single precision, or a whole count), or
    // nothing when the text is not a number or breaks the rule. Text left as it was filled in
    // gives back the stored value exactly, whatever its decimal text reads back as.
    [[nodiscard]] std::optional<double> StoredValue() const;
    [[nodiscard]] bool Acceptable() const { return StoredValue().has_value(); }

    // The check made when the focus leaves the box: beeps on a bad entry. Returns whether the
    // entry is acceptable.
    bool CheckLeaving();
    // Refuses the entry as leaving the box would: the beep and the rule in the status bar.
    void Refuse();

    // True from a refused check until the text is edited: the engineer has already heard the
    // beep for this entry.
    [[nodiscard]] bool Refused() const { return refused_; }

signals:
    // The entry passed the check of leaving the box.
    void EntryAccepted();
    // Enter was pressed and the entry passed the check; the dialog decides where the focus goes.
    void EnterAccepted();
    // Up or Down arrow, with the modifiers held; the dialog decides where the focus goes.
    void ArrowPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ValueRule rule_;
    double typedPerStored_ = 1;
    bool count_ = false;
    bool refused_ = false;
    QString meaning_;
    QString unit_;
    QString shownText_;
    double shownStored_ = 0;
    bool filled_ = false;
};

} // namespace pendrake::ui
