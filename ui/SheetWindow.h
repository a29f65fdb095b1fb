// frmSheet: the calculation sheet of the current project as HTML, with find, copy, save as HTML
// or PDF, and print; and frmGuide, the user guide shipped with the program.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QTextBrowser;

namespace pendrake {
class ProjectDocument;
}

namespace pendrake::ui {

class SheetWindow : public QDialog {
    Q_OBJECT
public:
    SheetWindow(const ProjectDocument& document, QWidget* parent = nullptr);

    // Looks for the text after the cursor, wrapping once to the top; false when it is not there.
    bool Find(const QString& text);
    // Writes the sheet to path: PDF when it ends in .pdf, HTML otherwise. False when it failed.
    bool SaveTo(const QString& path);
    void SaveAs();
    void Print();

private:
    QTextBrowser* browser_ = nullptr;
    QLineEdit* find_ = nullptr;
    QString html_;
};

// Calculate > Calculation Sheet: the window, modal.
void ShowCalculationSheet(QWidget* parent, const ProjectDocument& document);

// Help > User Guide: the guide from the program's resources in a browser window, modal.
void ShowUserGuide(QWidget* parent);

// The guide's HTML as shipped (empty when the resource is missing).
QString UserGuideHtml();

} // namespace pendrake::ui
