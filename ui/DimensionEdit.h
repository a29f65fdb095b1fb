// frmEdit: the small dialog that takes a new value for the wall dimension whose value the
// engineer clicked on the drawing.
#pragma once

#include <QDialog>
#include <QPointer>

#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace pendrake::ui {

class DimensionEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit DimensionEditDialog(QWidget* parent = nullptr);

    // Puts the dialog 90 twips right of the label's left edge and 630 twips below its bottom
    // edge on the screen, or, when it would then reach below the screen, 180 twips above it.
    // Placed again once shown, when the window frame's size is known.
    void PlaceNextTo(const QWidget* label);

    // Shows the dialog modally, titled `title`, with `text` in Text1, all of it selected.
    // Accept with a number gives the text typed; Cancel, Escape and the close box give nothing.
    // Text that is no number beeps and keeps the dialog open with the text as typed.
    std::optional<std::string> Run(const std::string& text, const QString& title);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AcceptClicked();
    void Place();

    QLineEdit* text_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<std::string> accepted_;
    QPointer<const QWidget> label_;
};

} // namespace pendrake::ui
