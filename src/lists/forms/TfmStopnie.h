#pragma once

#include "lists/StopnieList.h"
#include "lists/forms/ListWindow.h"

namespace kzm {

// The ranks window: each rank's abbreviation and full name, by abbreviation.
class TfmStopnie : public OneListWindow<StopnieList> {
    Q_OBJECT
public:
    explicit TfmStopnie(WindowHost& host, const QString& caption = QStringLiteral("Stopnie"));
};

} // namespace kzm
