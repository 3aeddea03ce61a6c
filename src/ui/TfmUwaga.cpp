#include "ui/TfmUwaga.h"

#include "core/Text.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

namespace kzm {

namespace {

constexpr int kWidth = 560;
constexpr int kBarHeight = 36;
constexpr int kMaxTextHeight = 300;
// Margins and spacing around the text area and the bar add up to this.
constexpr int kExtraHeight = 30;

QLabel* MakePanel(const QString& name, const QString& text, int width, QWidget* parent) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(name);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setFixedSize(width, kBarHeight - 8);
    panel->setCursor(Qt::PointingHandCursor);
    QFont font = panel->font();
    font.setBold(true);
    panel->setFont(font);
    return panel;
}

} // namespace

int UwagaLineHeight(int pointSize) {
    switch (pointSize) {
    case 6:
        return 11;
    case 7:
        return 13;
    case 8:
        return 15;
    case 9:
        return 16;
    case 10:
        return 17;
    case 11:
        return 18;
    case 12:
        return 19;
    case 13:
        return 22;
    case 14:
        return 23;
    default:
        return 0;
    }
}

TfmUwaga::TfmUwaga(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("fmUwaga"));
    setWindowTitle(QString());
    setModal(true);
    setAutoFillBackground(true);

    meText_ = new QTextEdit(this);
    meText_->setObjectName(QStringLiteral("meText"));
    meText_->setReadOnly(true);
    meText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    meText_->setFrameStyle(QFrame::NoFrame);
    meText_->setLineWrapMode(QTextEdit::WidgetWidth);
    meText_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    meText_->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    meText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    meText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    meText_->installEventFilter(this);
    lineHeight_ = UwagaLineHeight(meText_->font().pointSize());

    pnBar_ = new QWidget(this);
    pnBar_->setObjectName(QStringLiteral("pnBar"));
    pnBar_->setFixedHeight(kBarHeight);
    pnOK_ = MakePanel(QStringLiteral("pnOK"), QStringLiteral("OK"), 100, pnBar_);
    pnNie_ = MakePanel(QStringLiteral("pnNie"), QString(), 160, pnBar_);
    pnTak_ = MakePanel(QStringLiteral("pnTak"), QString(), 160, pnBar_);
    for (QLabel* panel : {pnOK_, pnNie_, pnTak_})
        panel->installEventFilter(this);

    auto* bar = new QHBoxLayout(pnBar_);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(20);
    bar->addStretch();
    bar->addWidget(pnOK_);
    bar->addWidget(pnNie_);
    bar->addWidget(pnTak_);
    bar->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 10, 8, 10);
    layout->setSpacing(kExtraHeight - 20);
    layout->addWidget(meText_);
    layout->addWidget(pnBar_);

    pnNie_->hide();
    pnTak_->hide();
    setFixedSize(kWidth, kBarHeight + lineHeight_ + kExtraHeight);
}

void TfmUwaga::AddLine(const QString& text) {
    lines_.append(text);
}

bool TfmUwaga::Ask(const QString& text, const QColor& colour, bool question) {
    meText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    meText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QColor background =
        colour.isValid() && colour.rgb() != QColor(Qt::black).rgb() ? colour : UwagaTeal;
    QPalette pal = palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        pal.setColor(role, background);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, Qt::white);
    setPalette(pal);

    if (!text.isEmpty())
        lines_ = TextLines(text);
    if (lines_.isEmpty())
        return false;

    meText_->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    meText_->setPlainText(lines_.join(u'\n'));
    QTextCursor all(meText_->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    meText_->moveCursor(QTextCursor::Start);

    // A line too long for the width wraps: the area takes what the text really needs when
    // that is more than its lines' share, so no line is cut off below the bar.
    const int frame = 2 * meText_->frameWidth();
    const QMargins margins = layout()->contentsMargins();
    const std::unique_ptr<QTextDocument> laidOut(meText_->document()->clone());
    laidOut->setTextWidth(kWidth - margins.left() - margins.right() - frame);
    const int needed = static_cast<int>(std::ceil(laidOut->size().height())) + frame;
    int textHeight = std::max((static_cast<int>(lines_.size()) + 1) * lineHeight_, needed);
    if (textHeight > kMaxTextHeight) {
        textHeight = kMaxTextHeight;
        meText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    meText_->setFixedHeight(textHeight);
    setFixedSize(kWidth, pnBar_->height() + textHeight + kExtraHeight);
    setWindowTitle(QString());

    question_ = question;
    answer_ = false;
    if (question_) {
        pnNie_->setText(QStringLiteral("Escape - Nie"));
        pnTak_->setText(QStringLiteral("Enter - Tak"));
    }
    pnOK_->setVisible(!question_);
    pnNie_->setVisible(question_);
    pnTak_->setVisible(question_);

    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    meText_->setFocus();
    exec();

    lines_.clear();
    question_ = false;
    pnOK_->show();
    pnNie_->hide();
    pnTak_->hide();
    return answer_;
}

void TfmUwaga::keyPressEvent(QKeyEvent* event) {
    if (AnswerKey(event->key()))
        return;
    QDialog::keyPressEvent(event);
}

bool TfmUwaga::eventFilter(QObject* watched, QEvent* event) {
    if (watched == meText_ && event->type() == QEvent::KeyPress) {
        if (AnswerKey(static_cast<QKeyEvent*>(event)->key()))
            return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (const QLabel* panel : {pnOK_, pnNie_, pnTak_}) {
            if (watched == panel && mouse->button() == Qt::LeftButton &&
                panel->rect().contains(mouse->position().toPoint())) {
                PanelClick(panel);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfmUwaga::AnswerKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Answer(true);
        return true;
    case Qt::Key_Escape:
        Answer(false);
        return true;
    default:
        return false;
    }
}

void TfmUwaga::PanelClick(const QLabel* panel) {
    if (panel->text().startsWith(QLatin1String("Enter")))
        Answer(true);
    else if (panel->text().startsWith(QLatin1String("Escape")))
        Answer(false);
    else
        reject();
}

void TfmUwaga::Answer(bool yes) {
    answer_ = yes;
    if (yes)
        accept();
    else
        reject();
}

} // namespace kzm
