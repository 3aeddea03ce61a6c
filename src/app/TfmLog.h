#pragma once

#include "db/Schema.h"

#include <QDateTime>
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace kzm {

class Session;
class Tdm;

// The login window: shows the version and the installation, takes the user, password and
// database path and connects (or creates the database when KZM.ini asks for it). It ends
// connected, or with the session's terminate flag set.
class TfmLog : public QDialog {
    Q_OBJECT
public:
    TfmLog(Session& s, Tdm& dm, QWidget* parent = nullptr);

    static constexpr int helpContextNumber = 50000;

    // Set from KZM.ini Main/CreateBaza = 1: "Wejście" creates a new database instead.
    bool createFlag() const { return create_; }

    // Asks a yes/no question in red before a database is created or replaced; no answer is
    // "no".
    std::function<bool(const QString& question)> ask;
    // The time a replaced database's copy is named by.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    void Wejscie();
    void Zamknij();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override; // the window frame and Escape end the program like "Zamknij"

private:
    void showInfo(const QString& text, const QColor& background);
    void setCredentialsVisible(bool visible);
    void setPathVisible(bool visible);
    void showNoAccess();
    // Decides whether "Wejście" creates the database: asks before replacing one that is there
    // (keeping a copy of a local one) and offers to create a local one that is missing. False
    // with the window showing why when nothing is to be done.
    bool decideCreation(bool& create);

    Session& s_;
    Tdm& dm_;
    bool create_ = false;
    QLineEdit* edVersion_;
    QLineEdit* edFirma_;
    QLabel* lbUser_;
    QLineEdit* edUser_;
    QLabel* lbPass_;
    QLineEdit* edPass_;
    QLabel* lbPath_;
    QLineEdit* edPath_;
    QLabel* lbInfo_;
    QPushButton* btnWejscie_;
    QPushButton* btnZamknij_;
};

} // namespace kzm
