#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kzm {

class Session;

// The about box: product, installation, version and the executable with its date.
// The caller decides whether it deletes itself on close.
class TfmInfProg : public QDialog {
    Q_OBJECT

public:
    explicit TfmInfProg(const Session& session, QWidget* parent = nullptr);

private:
    QLabel* lbTytul_ = nullptr;
    QLabel* lbNazwa_ = nullptr;
    QLabel* lbAdres_ = nullptr;
    QLabel* lbWersja_ = nullptr;
    QLabel* lbPath_ = nullptr;
    QLabel* lbData_ = nullptr;
    QPushButton* btnZamknij_ = nullptr;
};

} // namespace kzm
