#pragma once

#include <QColor>
#include <QDialog>
#include <QStringList>

class QLabel;
class QTextEdit;
class QWidget;

namespace kzm {

inline const QColor UwagaRed{255, 0, 0};    // questions of the program
inline const QColor UwagaTeal{0, 128, 128}; // plain messages

// The line height in pixels of the message text at a font size in points; 0 for a size the
// table does not know.
int UwagaLineHeight(int pointSize);

// The confirmation dialog: shows a message or asks a yes/no question, driven by the keyboard.
class TfmUwaga : public QDialog {
    Q_OBJECT

public:
    explicit TfmUwaga(QWidget* parent = nullptr);

    void AddLine(const QString& text);
    bool HasLines() const { return !lines_.isEmpty(); }

    // Shows the dialog modally and returns the answer: true for Enter, false for Escape. An
    // empty text shows the lines added before; an invalid or black colour means teal.
    bool Ask(const QString& text, const QColor& colour = QColor(), bool question = false);

    int lineHeight() const { return lineHeight_; }
    bool isQuestion() const { return question_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AnswerKey(int key);
    void PanelClick(const QLabel* panel);
    void Answer(bool yes);

    QTextEdit* meText_ = nullptr;
    QWidget* pnBar_ = nullptr;
    QLabel* pnOK_ = nullptr;
    QLabel* pnNie_ = nullptr;
    QLabel* pnTak_ = nullptr;

    QStringList lines_;
    bool question_ = false;
    bool answer_ = false;
    int lineHeight_ = 0;
};

} // namespace kzm
