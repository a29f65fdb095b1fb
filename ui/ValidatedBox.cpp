// The checked input box of the dialogs: a bad entry beeps and keeps the focus, without a message;
// leaving towards Cancel is never checked; Enter checks as leaving does.
#include "ui/ValidatedBox.h"

#include "model/DimensionEdit.h"
#include "ui/Platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextDocumentFragment>

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pendrake::ui {

namespace {

const char* const CancelProperty = "pendrakeCancelButton";

// Longest fixed text of a float (FLT_MAX has 39 integer digits) with room to spare.
constexpr int FloatTextCapacity = 64;
// Significant digits that carry a single-precision value through text.
constexpr int FloatRoundTripDigits = 9;

bool Meets(ValueRule rule, double value)
{
    return rule == ValueRule::Positive ? value > 0 : value >= 0;
}

} // namespace

void MarkAsCancelButton(QAbstractButton* button)
{
    button->setProperty(CancelProperty, true);
}

bool IsCancelButton(const QWidget* widget)
{
    return widget != nullptr && widget->property(CancelProperty).toBool();
}

bool HandleDialogEnter(QWidget* dialog, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    event->accept();
    if (auto* button = qobject_cast<QAbstractButton*>(dialog->focusWidget());
        button != nullptr && button->isEnabled())
        button->click();
    return true;
}

QString StoredValueText(float value)
{
    if (value == 0) // also -0
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QString::number(double(value), 'g', FloatRoundTripDigits);
    std::array<char, FloatTextCapacity> buf {};
    const auto res
        = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return QString::number(double(value), 'g', FloatRoundTripDigits);
    return QString::fromLatin1(buf.data(), qsizetype(res.ptr - buf.data()));
}

double RoundHalfEven(double value)
{
    const double nearest = std::round(value); // halves away from zero
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0) + 0.0; // + 0.0 turns -0 into 0
    return nearest + 0.0;
}

namespace {

std::function<void(const QString&)>& RefusalReporter()
{
    static std::function<void(const QString&)> reporter;
    return reporter;
}

} // namespace

void SetRefusalReporter(std::function<void(const QString& rule)> reporter)
{
    RefusalReporter() = std::move(reporter);
}

QString PlainCaption(const QString& caption)
{
    QString text = QTextDocumentFragment::fromHtml(caption).toPlainText().simplified();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

void ValidatedBox::Describe(const QString& meaning, const QString& unit)
{
    meaning_ = meaning;
    unit_ = unit;
    setToolTip(RuleText());
}

QString ValidatedBox::RuleText() const
{
    QString range;
    if (count_)
        range = QStringLiteral("a whole number, 0 or more");
    else if (rule_ == ValueRule::Positive)
        range = QStringLiteral("greater than 0");
    else
        range = QStringLiteral("0 or more");
    QString text = meaning_.isEmpty() ? QStringLiteral("A number") : meaning_;
    if (!unit_.isEmpty())
        text += QStringLiteral(" in ") + unit_;
    return text + QStringLiteral(", ") + range;
}

ValidatedBox::ValidatedBox(ValueRule rule, QWidget* parent)
    : QLineEdit(parent)
    , rule_(rule)
{
    connect(this, &QLineEdit::textEdited, this, [this] { refused_ = false; });
}

void ValidatedBox::ShowStored(double stored)
{
    if (count_) {
        shownText_ = QString::number(static_cast<long long>(stored));
    } else {
        const double typed = stored * typedPerStored_;
        shownText_ = std::abs(typed) <= double(FLT_MAX)
            ? StoredValueText(static_cast<float>(typed))
            : QString::number(typed, 'g', FloatRoundTripDigits);
    }
    shownStored_ = stored;
    filled_ = true;
    refused_ = false;
    setText(shownText_);
}

std::optional<double> ValidatedBox::StoredValue() const
{
    double stored = 0;
    if (filled_ && text() == shownText_) {
        stored = shownStored_;
    } else {
        const std::optional<double> typed = ParseEditValue(text().toStdString());
        // The typed value must meet the rule too: -1e-50 would store as -0 and pass ">= 0".
        if (!typed || !Meets(rule_, *typed))
            return std::nullopt;
        const double exact = *typed / typedPerStored_;
        if (count_) {
            stored = RoundHalfEven(exact);
            if (stored > double(std::numeric_limits<int16_t>::max()))
                return std::nullopt;
        } else {
            if (std::abs(exact) > double(FLT_MAX))
                return std::nullopt;
            // The record holds single precision: judge the value as it will be stored, so that
            // 1e-50 does not pass "> 0" only to be stored as 0.
            stored = double(static_cast<float>(exact)) + 0.0;
        }
    }
    if (!Meets(rule_, stored))
        return std::nullopt;
    return stored;
}

bool ValidatedBox::CheckLeaving()
{
    if (Acceptable()) {
        refused_ = false;
        emit EntryAccepted();
        return true;
    }
    Refuse();
    return false;
}

void ValidatedBox::Refuse()
{
    refused_ = true;
    Beep();
    if (RefusalReporter())
        RefusalReporter()(QStringLiteral("Not accepted: ") + RuleText() + QLatin1Char('.'));
}

void ValidatedBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu, another window or the dialog closing is no leaving of the box.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    // Qt has already made the receiving widget the focus widget.
    const QWidget* to = QApplication::focusWidget();
    if (to == nullptr || to == this || to->window() != window() || !isVisible()
        || IsCancelButton(to))
        return;
    if (!CheckLeaving())
        setFocus(Qt::OtherFocusReason);
}

void ValidatedBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Never passed on: no character, and no default button pressed behind the check.
        event->accept();
        if (CheckLeaving())
            emit EnterAccepted();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        event->accept();
        emit ArrowPressed(event->key(), event->modifiers());
        return;
    default: QLineEdit::keyPressEvent(event);
    }
}

} // namespace pendrake::ui
