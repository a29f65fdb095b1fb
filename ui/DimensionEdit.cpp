// frmEdit: a text box and Accept/Cancel, placed next to the clicked dimension value.
#include "ui/DimensionEdit.h"

#include "model/DimensionEdit.h"
#include "ui/Platform.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace pendrake::ui {

namespace {

// Offsets of the dialog from the clicked label, twips.
constexpr int RightOfLabelLeft = 90;
constexpr int BelowLabelBottom = 630;
constexpr int ClearAboveLabel = 180;
// Room for a value of a dozen digits.
constexpr int TextBoxWidth = 1200;

} // namespace

DimensionEditDialog::DimensionEditDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEdit"));
    // Titled like every box of the program; its size follows the box and the two buttons.
    setWindowTitle(QStringLiteral("Pendrake"));
    setModal(true);

    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("Text1"));
    text_->setMinimumWidth(Px(TextBoxWidth));
    accept_ = new QPushButton(QStringLiteral("&Accept"), this);
    accept_->setObjectName(QStringLiteral("Command1"));
    accept_->setDefault(true); // Enter in the box accepts
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Command2"));
    cancel_->setAutoDefault(false);

    auto* row = new QHBoxLayout(this);
    row->addWidget(text_);
    row->addWidget(accept_);
    row->addWidget(cancel_);
    row->setSizeConstraint(QLayout::SetFixedSize);

    connect(accept_, &QPushButton::clicked, this, &DimensionEditDialog::AcceptClicked);
    connect(cancel_, &QPushButton::clicked, this, &DimensionEditDialog::reject);
}

void DimensionEditDialog::PlaceNextTo(const QWidget* label)
{
    label_ = label;
    Place();
}

void DimensionEditDialog::Place()
{
    if (label_ == nullptr)
        return;
    const QWidget* label = label_;
    // The fixed-size layout sets the dialog's size once it is activated; measure after that.
    ensurePolished();
    layout()->activate();
    adjustSize();
    const QPoint labelTopLeft = label->mapToGlobal(QPoint(0, 0));
    const int labelBottom = labelTopLeft.y() + label->height();
    const int height = frameGeometry().height();
    const int x = labelTopLeft.x() + Px(RightOfLabelLeft);
    int y = labelBottom + Px(BelowLabelBottom);
    if (const QScreen* screen = label->screen()) {
        const QRect area = screen->geometry();
        if (y + height > area.y() + area.height())
            y = labelTopLeft.y() - Px(ClearAboveLabel) - height;
    }
    move(x, y);
}

std::optional<std::string> DimensionEditDialog::Run(const std::string& text, const QString& title)
{
    // Whatever closes the dialog other than Accept with a number is a cancel.
    accepted_.reset();
    setWindowTitle(title);
    text_->setText(QString::fromStdString(text));
    exec();
    return accepted_;
}

void DimensionEditDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Place();
    text_->selectAll();
    text_->setFocus();
}

void DimensionEditDialog::AcceptClicked()
{
    const std::string typed = text_->text().toStdString();
    if (!ParseEditValue(typed)) {
        Beep();
        text_->setFocus();
        return;
    }
    accepted_ = typed;
    accept();
}

} // namespace pendrake::ui
