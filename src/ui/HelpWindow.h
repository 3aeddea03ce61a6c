#pragma once

#include <QDialog>

class QTextBrowser;

namespace kzm {

class Session;

// The help viewer: pages of the help folder, named by help context number ("index.html" is
// the contents).
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(const QString& page, QWidget* parent = nullptr);

private:
    QTextBrowser* browser_;
};

// Opens the help at a context; without that page "Brak pliku z pomocą".
void ShowHelp(Session& s, int context, QWidget* parent);
// Opens the contents of the help.
void ShowHelpContents(Session& s, QWidget* parent);

} // namespace kzm
