// The folders of src/ are layers: a file includes only from its own layer or the ones below,
// and the layers below the windows never include a widget header.

#include "support/QtPrint.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// From the bottom: core; schema, xls and fb; db; the subsystems' logic; the window layer every
// form stands on; the subsystems' forms; the shell. -1 for a folder the rules do not know.
int Layer(const QString& folder) {
    if (folder.endsWith(QStringLiteral("/forms")))
        return 5;
    const QString top = folder.section('/', 0, 0);
    if (top == QStringLiteral("core"))
        return 0;
    if (top == QStringLiteral("schema") || top == QStringLiteral("xls") ||
        top == QStringLiteral("fb"))
        return 1;
    if (top == QStringLiteral("db"))
        return 2;
    static const QStringList logic = {QStringLiteral("report"),    QStringLiteral("terminals"),
                                      QStringLiteral("lists"),     QStringLiteral("planning"),
                                      QStringLiteral("reports"),   QStringLiteral("maintenance"),
                                      QStringLiteral("settlement")};
    if (logic.contains(top))
        return 3;
    if (top == QStringLiteral("ui"))
        return 4;
    if (top == QStringLiteral("app"))
        return 6;
    return -1;
}
constexpr int windowLayer = 4;

struct Include {
    QString file; // relative to src/
    int line = 0;
    QString target;
    bool system = false; // <...>
};

QList<Include> Includes(const QString& root) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
    QList<Include> out;
    QDirIterator it(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QString rel = QDir(root).relativeFilePath(path);
        int n = 0;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine());
            ++n;
            const auto m = re.match(line);
            if (m.hasMatch())
                out.push_back({rel, n, m.captured(2), m.captured(1) == QStringLiteral("<")});
        }
    }
    return out;
}

QString Folder(const QString& relPath) {
    return QFileInfo(relPath).path();
}

// What breaks the layers under a source root: includes of a higher layer, folders without a
// layer, widget headers below the window layer.
QStringList Violations(const QString& root) {
    const QDir widgets(QStringLiteral(QT_WIDGETS_DIR));
    QStringList wrong;
    for (const Include& inc : Includes(root)) {
        const QString from = Folder(inc.file);
        const int layer = Layer(from);
        const QString where = QStringLiteral("%1:%2").arg(inc.file).arg(inc.line);
        if (layer < 0) {
            wrong << where + QStringLiteral(": the folder ") + from +
                         QStringLiteral(" has no layer");
        } else if (inc.system) {
            const QString name = inc.target.section('/', -1);
            if (layer < windowLayer &&
                (inc.target.startsWith(QStringLiteral("QtWidgets")) || widgets.exists(name)))
                wrong << where + QStringLiteral(" includes the widget header <") + inc.target + '>';
        } else if (inc.target.contains('/') && QFileInfo::exists(root + '/' + inc.target)) {
            const int to = Layer(Folder(inc.target));
            if (to < 0 || to > layer)
                wrong << where + QStringLiteral(" includes ") + inc.target +
                             QStringLiteral(" of a higher layer");
        }
    }
    return wrong;
}

TEST(Layers, TheSourcesKeepTheirLayers) {
    ASSERT_TRUE(QDir(QStringLiteral(QT_WIDGETS_DIR)).exists(QStringLiteral("QWidget")))
        << QT_WIDGETS_DIR;
    ASSERT_GT(Includes(QStringLiteral(SOURCE_DIR)).size(), 100)
        << "the sources were not found under " << SOURCE_DIR;
    const QStringList wrong = Violations(QStringLiteral(SOURCE_DIR));
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join(QChar(10)).toStdString();
}

// The check itself, on a small tree that breaks each rule once beside includes that are right.
TEST(Layers, ABrokenLayerIsFound) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString& rel, const QByteArray& text) {
        QDir(dir.path()).mkpath(QFileInfo(rel).path());
        QFile f(dir.path() + '/' + rel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("core/Text.h", "#pragma once\n#include <QString>\n");
    write("db/Tdm.h", "#include \"core/Text.h\"\n");
    write("core/Bad.cpp", "#include \"core/Text.h\"\n#include \"db/Tdm.h\"\n");
    write("lists/Units.cpp", "#include \"db/Tdm.h\"\n#include <QLineEdit>\n");
    write("lists/forms/TfmUnits.cpp", "#include \"lists/Units.h\"\n#include <QLineEdit>\n");
    write("lists/Units.h", "#include \"lists/forms/TfmUnits.h\"\n");
    write("lists/forms/TfmUnits.h", "");
    write("gadgets/X.cpp", "");
    write("gadgets/Y.cpp", "#include <QString>\n");
    QStringList wrong = Violations(dir.path());
    wrong.sort();
    EXPECT_EQ(wrong, QStringList({"core/Bad.cpp:2 includes db/Tdm.h of a higher layer",
                                  "gadgets/Y.cpp:1: the folder gadgets has no layer",
                                  "lists/Units.cpp:2 includes the widget header <QLineEdit>",
                                  "lists/Units.h:1 includes lists/forms/TfmUnits.h of a higher "
                                  "layer"}));
}

} // namespace
