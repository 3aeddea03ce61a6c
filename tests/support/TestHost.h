#pragma once
// A window host without the main window: what a function window or a hub's child window sets
// on its host is recorded for the test to read.

#include "ui/AppContext.h"
#include "ui/WindowHost.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace testdb {

class TestHost : public kzm::WindowHost {
public:
    explicit TestHost(kzm::AppContext& ctx) : ctx_(ctx) {}

    kzm::AppContext& ctx() const override { return ctx_; }
    void SetChCaption(const QString& text) override { captions << text; }
    void RemChCaption() override {
        if (!captions.isEmpty())
            captions.removeLast();
    }
    void ClrChCaption() override { captions.clear(); }
    void TakeKeys(QWidget* handler) override { keyHandler = handler; }
    void GiveKeysBack(QWidget* handler) override {
        if (keyHandler == handler)
            keyHandler = nullptr;
    }
    void setKeptWindow(const QString& name) override { kept = name; }
    QString keptWindow() const override { return kept; }
    void setLamp(const QColor& colour) override { lamp = colour; }

    QStringList captions;
    QPointer<QWidget> keyHandler;
    QString kept;
    QColor lamp;

private:
    kzm::AppContext& ctx_;
};

} // namespace testdb
