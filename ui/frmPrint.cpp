// The print options dialog.
#include "ui/frmPrint.h"

#include "ui/Platform.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace pendrake::ui {

frmPrint::frmPrint(const ProjectDocument& document, report::PrintOptions& options, QWidget* parent)
    : QDialog(parent)
    , options_(options)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Pendrake: Print"));

    auto* layout = new QVBoxLayout(this);
    for (int k = 0; k < report::PrintOptionCount; ++k) {
        const std::string_view caption = report::PrintOptionCaption[size_t(k)];
        auto* box
            = new QCheckBox(QString::fromUtf8(caption.data(), qsizetype(caption.size())), this);
        box->setObjectName(QStringLiteral("chkPrint_%1").arg(k));
        // The boxes show the kept choices; nothing is stored while they are filled.
        box->setChecked(options_.Option(k) != 0);
        layout->addWidget(box);
        boxes_[size_t(k)] = box;
    }
    const std::string_view sheet = report::SheetOptionCaption;
    sheetBox_ = new QCheckBox(QString::fromUtf8(sheet.data(), qsizetype(sheet.size())), this);
    sheetBox_->setObjectName(QStringLiteral("chkPrintSheet"));
    sheetBox_->setChecked(options_.PrintSheet != 0);
    layout->addWidget(sheetBox_);
    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton(QStringLiteral("&Print"), this);
    print->setObjectName(QStringLiteral("Command2"));
    print->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Ca&ncel"), this);
    cancel->setObjectName(QStringLiteral("Command3"));
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(print, &QPushButton::clicked, this, [this] {
        printConfirmed_ = true;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The document's combination run decides; its other messages were told at the change.
    stable_ = document.Combinations().Stable;
    if (!stable_) {
        ShowWarning(this, QString::fromStdString(std::string(UnstableCombinationMessage)));
        for (int k : { 4, 5 }) {
            boxes_[size_t(k)]->setChecked(false);
            boxes_[size_t(k)]->setEnabled(false);
        }
    }
    filling_ = false;
    // Wide enough that the window manager shows the whole title beside its buttons.
    constexpr double TitleButtonsTwips = 2400;
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + Px(TitleButtonsTwips));
}

void frmPrint::StoreBoxes()
{
    if (filling_)
        return;
    for (int k = 0; k < report::PrintOptionCount; ++k)
        options_.Option(k) = boxes_[size_t(k)]->isChecked() ? 1 : 0;
    options_.PrintSheet = sheetBox_->isChecked() ? 1 : 0;
}

void frmPrint::done(int result)
{
    // "Ca&ncel", Escape and the close box keep the choices made, as "&Print" does.
    StoreBoxes();
    QDialog::done(result);
}

} // namespace pendrake::ui
