#pragma once

#include <QColor>
#include <QWidget>

namespace kzm {

// The round status indicator of the main window and the terminal window.
class StatusLamp : public QWidget {
public:
    StatusLamp(const QColor& colour, QWidget* parent);

    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

} // namespace kzm
