#include "report/Slownie.h"

#include <array>
#include <cstdlib>

namespace kzm::report {

namespace {

const std::array<QString, 10> jednosci = {QString(),
                                          QStringLiteral("jeden"),
                                          QStringLiteral("dwa"),
                                          QStringLiteral("trzy"),
                                          QStringLiteral("cztery"),
                                          QStringLiteral("pięć"),
                                          QStringLiteral("sześć"),
                                          QStringLiteral("siedem"),
                                          QStringLiteral("osiem"),
                                          QStringLiteral("dziewięć")};
const std::array<QString, 10> dziesiatki = {QString(),
                                            QStringLiteral("dziesięć"),
                                            QStringLiteral("dwadzieścia"),
                                            QStringLiteral("trzydzieści"),
                                            QStringLiteral("czterdzieści"),
                                            QStringLiteral("pięćdziesiąt"),
                                            QStringLiteral("sześćdziesiąt"),
                                            QStringLiteral("siedemdziesiąt"),
                                            QStringLiteral("osiemdziesiąt"),
                                            QStringLiteral("dziewięćdziesiąt")};
const std::array<QString, 10> setki = {QString(),
                                       QStringLiteral("sto"),
                                       QStringLiteral("dwieście"),
                                       QStringLiteral("trzysta"),
                                       QStringLiteral("czterysta"),
                                       QStringLiteral("pięćset"),
                                       QStringLiteral("sześćset"),
                                       QStringLiteral("siedemset"),
                                       QStringLiteral("osiemset"),
                                       QStringLiteral("dziewięćset")};
const std::array<QString, 10> nastki = {QString(),
                                        QStringLiteral("jedenaście"),
                                        QStringLiteral("dwanaście"),
                                        QStringLiteral("trzynaście"),
                                        QStringLiteral("czternaście"),
                                        QStringLiteral("piętnaście"),
                                        QStringLiteral("szesnaście"),
                                        QStringLiteral("siedemnaście"),
                                        QStringLiteral("osiemnaście"),
                                        QStringLiteral("dziewiętnaście")};

struct Rzad {
    QString rdzen;
    std::array<QString, 3> koncowki;
};

// The words of the groups of three digits from the thousands up.
const std::array<Rzad, 5> rzedy = {{
    {QStringLiteral("tysi"), {QStringLiteral("ąc"), QStringLiteral("ące"), QStringLiteral("ęcy")}},
    {QStringLiteral("milion"), {QString(), QStringLiteral("y"), QStringLiteral("ów")}},
    {QStringLiteral("miliard"), {QString(), QStringLiteral("y"), QStringLiteral("ów")}},
    {QStringLiteral("bilion"), {QString(), QStringLiteral("y"), QStringLiteral("ów")}},
    {QStringLiteral("biliard"), {QString(), QStringLiteral("y"), QStringLiteral("ów")}},
}};
const Rzad zloty{QStringLiteral("złot"),
                 {QStringLiteral("y"), QStringLiteral("e"), QStringLiteral("ych")}};
const Rzad grosz{QStringLiteral("grosz"), {QString(), QStringLiteral("e"), QStringLiteral("y")}};

// The words of a group of three digits, with the blanks of its empty places.
QString grupa(int value) {
    const int h = value / 100;
    const int t = value / 10 % 10;
    const int o = value % 10;
    if (t == 1 && o != 0)
        return setki[h] + u' ' + nastki[o];
    return setki[h] + u' ' + dziesiatki[t] + u' ' + jednosci[o];
}

QString slowo(const Rzad& rzad, std::int64_t n) {
    return rzad.rdzen + rzad.koncowki[FormaLiczby(n)];
}

bool pusty(const QString& text) {
    return text.trimmed().isEmpty();
}

// The lines being written: text is put before the first line or after the last, and goes to
// a new line where it would make that line longer than the width.
class Wiersze {
public:
    explicit Wiersze(int width) : width_(width) {}

    void przed(const QString& text) {
        if (lines_.front().size() + text.size() > width_)
            lines_.prepend(QString());
        lines_.front().prepend(text);
    }
    void po(const QString& text) {
        if (lines_.back().size() + text.size() > width_)
            lines_.append(QString());
        lines_.back().append(text);
    }

    // Moves words up to the line before while they fit there.
    QStringList przelam() {
        qsizetype i = 1;
        while (i < lines_.size()) {
            QString& prev = lines_[i - 1];
            QString& line = lines_[i];
            const qsizetype blank = line.indexOf(u' ');
            const qsizetype take = blank < 0 ? line.size() : blank + 1;
            if (prev.size() + take > width_) {
                ++i;
            } else if (blank < 0) {
                prev += line;
                lines_.removeAt(i);
            } else {
                prev += line.left(take);
                line.remove(0, take);
            }
        }
        return lines_;
    }

private:
    int width_;
    QStringList lines_{QString()};
};

} // namespace

int FormaLiczby(std::int64_t n) {
    if (n == 1)
        return 0;
    const std::int64_t r100 = n % 100;
    if (r100 >= 5 && r100 <= 21)
        return 2;
    const std::int64_t r10 = n % 10;
    if (r10 >= 2 && r10 <= 4)
        return 1;
    return 2;
}

QStringList KwotaSlownie(std::int64_t amount, int width, const QString& currency) {
    width = std::max(width, 60);
    const std::uint64_t absolute =
        amount < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(amount) : amount;
    std::uint64_t zlote = absolute / 10000;
    const std::uint64_t ulamek = absolute % 10000;
    // Thousandths rounded half to even, then cut to hundredths.
    std::uint64_t tysieczne = ulamek / 10;
    const std::uint64_t reszta = ulamek % 10;
    if (reszta > 5 || (reszta == 5 && tysieczne % 2 == 1))
        ++tysieczne;
    if (tysieczne == 1000) {
        ++zlote;
        tysieczne = 0;
    }
    const int grosze = static_cast<int>(tysieczne / 10);

    Wiersze w(width);
    if (zlote == 0) {
        w.przed(QStringLiteral("zero "));
    } else {
        std::uint64_t rest = zlote;
        for (int k = 0; rest > 0; ++k, rest /= 1000) {
            const int value = static_cast<int>(rest % 1000);
            const QString words = grupa(value);
            if (pusty(words))
                continue;
            if (k == 0)
                w.przed(words + u' ');
            else
                w.przed(words + u' ' + slowo(rzedy[static_cast<size_t>(k - 1)], value) + u' ');
        }
    }

    const bool slownie = currency == QLatin1String("PLN") || currency == QStringLiteral("ZŁ");
    w.po(slownie ? slowo(zloty, static_cast<std::int64_t>(zlote)) : currency);
    if (grosze > 0) {
        if (slownie)
            w.po(grupa(grosze) + u' ' + slowo(grosz, grosze) + u' ');
        else
            w.po(QStringLiteral(" i %1/100 ").arg(grosze, 2, 10, QLatin1Char('0')));
    }
    return w.przelam();
}

} // namespace kzm::report
