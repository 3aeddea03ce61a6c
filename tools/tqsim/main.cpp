// tqsim: meal-issue terminals on the far side of a serial line, for tests, demonstrations and
// training. See the help text below.

#include "core/Win1250.h"
#include "tqsim/Readings.h"
#include "tqsim/SimLine.h"

#include <QFile>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

using namespace kzm::tqsim;

namespace {

const char* const helpText =
    R"(tqsim - symulator terminali wydawczych TQ200 i TQ700 na łączu szeregowym

użycie: tqsim --link ŚCIEŻKA [--rs485] [--terminal OPIS]... [opcje]

Tworzy pseudoterminal, zakłada do niego dowiązanie ŚCIEŻKA i odgrywa na nim
terminale, które program odpytuje jak prawdziwe: status, odczyty z pamięci
(najstarszy podawany przy każdym żądaniu, aż przyjdzie ACK), zegar, kasowanie
pamięci, inicjalizacja, tryb pracy, zakres kart, teksty na wyświetlaczu
i sygnał dźwiękowy, z potwierdzeniami, na jakie czeka program.
Każdą odebraną ramkę i każdy pokazany tekst wypisuje na bieżąco.
Kończy pracę po Ctrl+C (usuwa wtedy dowiązanie).

Jak podłączyć program:
  1. uruchom symulator, np.
       tqsim --link /tmp/kzm-com1 --terminal tq200 --cards 0000123450,123456789
  2. w KZM.ini programu wpisz w sekcji [Porty] urządzenie portu COM1:
       [Porty]
       COM1=/tmp/kzm-com1
  3. w oknie "Parametry" zdefiniuj aktywny terminal na porcie 1 tego samego
     typu (TQ700 lub nie), z tym samym adresem (NUMSCAN) i wariantem łącza
     (RS-485 lub nie); potem "Rejestrator" i start.
  Dwa terminale na jednym łączu RS-485:
       tqsim --link /tmp/kzm-com2 --rs485 --terminal tq700@1 --terminal tq700@2
  i dwie definicje na porcie 2 z adresami 1 i 2.

Opcje:
  --link ŚCIEŻKA      dowiązanie do urządzenia łącza (wymagane; istniejące
                      dowiązanie zostaje zastąpione)
  --rs485             łącze RS-485 z adresami; bez tej opcji RS-232 i jeden
                      terminal
  --terminal OPIS     TYP[@ADRES][,USTERKA]...: TYP to tq200 albo tq700, ADRES
                      od 1 do 31 (domyślnie 1); na łączu RS-485 opcję można
                      powtarzać; bez niej jeden TQ200 o adresie 1
  --readings PLIK     odczyty zapisane w terminalach przy starcie
  --cards LISTA       numery kart rozdzielone przecinkami: z nich powstają
                      kolejne odczyty, po kolei na kolejnych terminalach
  --rate N            odczytów na minutę z --cards (domyślnie 6)
  --count N           po N wygenerowanych odczytach nie dodawaj następnych
  --seed N            ziarno losowania przekłamań (powtarzalne przebiegi)
  --quiet             bez wypisywania ramek (teksty wyświetlacza zostają)
  --help              ten opis

Usterki, dla wszystkich terminali albo po przecinku w OPIS (delay=300,silent):
  --delay MS          każda odpowiedź o MS ms później (program czeka 100 ms
                      i czyta odpowiedź najwyżej 50 ms)
  --silent            brak jakiejkolwiek odpowiedzi
  --truncate N        odpowiedzi ucięte do N bajtów (bez końcowego CR)
  --truncate-every K  ... tylko co K-ta odpowiedź (domyślnie każda)
  --garble P          każdy bajt odpowiedzi po znaczniku początku zmieniony
                      losowo z prawdopodobieństwem P (0..1)
  --garble-card P     w rekordzie z prawdopodobieństwem P jeden bajt pola
                      karty przekłamany
  --flag Z            każdy podawany rekord ze znacznikiem Z (T albo U)
  --lose-ack K        co K-te potwierdzenie (ACK) ginie na łączu
  --freeze N:MS       po N-tym podanym rekordzie terminal zamiera na MS ms,
                      potem odpowiada na wszystko, co przyszło w tym czasie

Łącze:
  --unplug S:T        po S s od startu łącze znika (jak wyjęty adapter) na T s
                      i wraca pod tym samym dowiązaniem

Plik odczytów: jeden odczyt w wierszu, pola rozdzielone spacjami lub ";":
  [@ADRES] KARTA [DATA GODZINA] [KIERUNEK [TRYB [ZNACZNIK]]]
  KARTA     1..16 cyfr; do 9 cyfr idzie jawnie (dopełnione zerami do 9),
            dłuższa w postaci spakowanej; "-" to rekord bez numeru karty
  DATA      rrrr-mm-dd albo dd.mm.rrrr; GODZINA gg:mm[:ss]; bez nich teraz
  KIERUNEK  0 = wejście (domyślnie), TRYB 1 (domyślnie), ZNACZNIK 0
            (domyślnie), T lub U (rekord pomijany przez program)
  Wiersze puste i zaczynające się od "#" są pomijane. Przykład:
    # karta       data       godzina
    0000123450    2026-12-08 12:31:05
    @2 123456789  08.12.2026 07:15
    555000111     2026-12-08 13:02:00 0 1 T
)";

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

void Print(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int Fail(const QString& text) {
    const QByteArray bytes = (QStringLiteral("tqsim: ") + text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return 2;
}

// The bytes of a command as a line of the log: printable characters as they are, others in hex.
QString Printable(const QByteArray& bytes) {
    QString text;
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F)
            text += QLatin1Char(byte);
        else
            text += QStringLiteral("<%1>").arg(value, 2, 16, QLatin1Char('0'));
    }
    return text;
}

bool InUnitRange(double p) {
    return p >= 0 && p <= 1;
}

bool ApplyFault(const QString& key, const QString& value, Faults& faults, QString& error) {
    bool ok = true;
    if (key == QLatin1String("delay"))
        faults.replyDelayMs = value.toInt(&ok);
    else if (key == QLatin1String("silent"))
        faults.silent = true;
    else if (key == QLatin1String("truncate"))
        faults.truncateTo = value.toInt(&ok);
    else if (key == QLatin1String("truncate-every"))
        ok = (faults.truncateEvery = value.toInt(&ok)) > 0 && ok;
    else if (key == QLatin1String("garble"))
        faults.garbleRate = value.toDouble(&ok);
    else if (key == QLatin1String("garble-card"))
        ok = InUnitRange(faults.garbleCardRate = value.toDouble(&ok)) && ok;
    else if (key == QLatin1String("lose-ack"))
        ok = (faults.loseAckEvery = value.toInt(&ok)) > 0 && ok;
    else if (key == QLatin1String("freeze")) {
        bool afterOk = false;
        faults.freezeAfterRecords = value.section(QLatin1Char(':'), 0, 0).toInt(&afterOk);
        faults.freezeMs = value.section(QLatin1Char(':'), 1).toInt(&ok);
        ok = ok && afterOk && faults.freezeAfterRecords > 0 && faults.freezeMs > 0;
    } else if (key == QLatin1String("flag")) {
        ok = value.size() == 1;
        if (ok)
            faults.recordFlag = value[0].toLatin1();
    } else {
        error = QStringLiteral("nieznana usterka ") + key;
        return false;
    }
    if (!ok || faults.replyDelayMs < 0 || !InUnitRange(faults.garbleRate))
        error = QStringLiteral("błędna wartość usterki ") + key;
    return ok && error.isEmpty();
}

struct TerminalSpec {
    Model model = Model::TQ200;
    int numScan = 1;
    QStringList faults; // key=value
};

bool ParseTerminal(const QString& text, TerminalSpec& spec, QString& error) {
    QStringList parts = text.split(QLatin1Char(','));
    const QString head = parts.takeFirst().toLower();
    const QString model = head.section(QLatin1Char('@'), 0, 0);
    if (model == QLatin1String("tq200"))
        spec.model = Model::TQ200;
    else if (model == QLatin1String("tq700"))
        spec.model = Model::TQ700;
    else {
        error = QStringLiteral("typ terminala to tq200 albo tq700: ") + text;
        return false;
    }
    if (head.contains(QLatin1Char('@'))) {
        bool ok = false;
        spec.numScan = head.section(QLatin1Char('@'), 1).toInt(&ok);
        if (!ok || spec.numScan < 1 || spec.numScan > 31) {
            error = QStringLiteral("adres terminala od 1 do 31: ") + text;
            return false;
        }
    }
    spec.faults = parts;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QString link, readingsFile, error;
    bool rs485 = false, quiet = false;
    std::vector<TerminalSpec> specs;
    Faults common;
    QStringList cards;
    double rate = 6;
    int count = -1;
    std::optional<quint32> seed;
    double unplugAtS = -1, unplugForS = 0;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto needValue = [&](QString& out) {
            const auto v = value();
            if (!v)
                error = QStringLiteral("brak wartości po ") + arg;
            else
                out = *v;
            return bool(v);
        };
        QString v;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(helpText, stdout);
            return 0;
        } else if (arg == QLatin1String("--link")) {
            if (!needValue(link))
                return Fail(error);
        } else if (arg == QLatin1String("--rs485")) {
            rs485 = true;
        } else if (arg == QLatin1String("--quiet")) {
            quiet = true;
        } else if (arg == QLatin1String("--terminal")) {
            TerminalSpec spec;
            if (!needValue(v) || !ParseTerminal(v, spec, error))
                return Fail(error);
            specs.push_back(spec);
        } else if (arg == QLatin1String("--readings")) {
            if (!needValue(readingsFile))
                return Fail(error);
        } else if (arg == QLatin1String("--cards")) {
            if (!needValue(v))
                return Fail(error);
            cards = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (arg == QLatin1String("--rate")) {
            bool ok = false;
            if (!needValue(v) || (rate = v.toDouble(&ok), !ok || rate <= 0))
                return Fail(error.isEmpty() ? QStringLiteral("błędna wartość --rate") : error);
        } else if (arg == QLatin1String("--count")) {
            bool ok = false;
            if (!needValue(v) || (count = v.toInt(&ok), !ok || count < 0))
                return Fail(error.isEmpty() ? QStringLiteral("błędna wartość --count") : error);
        } else if (arg == QLatin1String("--seed")) {
            bool ok = false;
            if (!needValue(v) || (seed = v.toUInt(&ok), !ok))
                return Fail(error.isEmpty() ? QStringLiteral("błędna wartość --seed") : error);
        } else if (arg == QLatin1String("--silent")) {
            ApplyFault(QStringLiteral("silent"), {}, common, error);
        } else if (arg == QLatin1String("--unplug")) {
            bool atOk = false, forOk = false;
            if (!needValue(v))
                return Fail(error);
            unplugAtS = v.section(QLatin1Char(':'), 0, 0).toDouble(&atOk);
            unplugForS = v.section(QLatin1Char(':'), 1).toDouble(&forOk);
            if (!atOk || !forOk || unplugAtS < 0 || unplugForS <= 0)
                return Fail(QStringLiteral("błędna wartość --unplug"));
        } else if (arg == QLatin1String("--delay") || arg == QLatin1String("--truncate") ||
                   arg == QLatin1String("--truncate-every") || arg == QLatin1String("--garble") ||
                   arg == QLatin1String("--garble-card") || arg == QLatin1String("--lose-ack") ||
                   arg == QLatin1String("--freeze") || arg == QLatin1String("--flag")) {
            if (!needValue(v) || !ApplyFault(arg.mid(2), v, common, error))
                return Fail(error);
        } else {
            return Fail(QStringLiteral("nieznana opcja ") + arg + QStringLiteral(" (--help)"));
        }
    }
    if (link.isEmpty())
        return Fail(QStringLiteral("brak --link ŚCIEŻKA (--help)"));
    if (specs.empty())
        specs.push_back({});
    if (!rs485 && specs.size() > 1)
        return Fail(QStringLiteral("kilka terminali na jednym łączu tylko z --rs485"));
    for (size_t a = 0; a < specs.size(); ++a)
        for (size_t b = a + 1; b < specs.size(); ++b)
            if (specs[a].numScan == specs[b].numScan)
                return Fail(QStringLiteral("dwa terminale o tym samym adresie"));

    SimLine line(rs485);
    for (const TerminalSpec& spec : specs) {
        const int index = line.addTerminal(spec.model, spec.numScan);
        Faults faults = common;
        for (const QString& fault : spec.faults) {
            if (!ApplyFault(fault.section(QLatin1Char('='), 0, 0),
                            fault.section(QLatin1Char('='), 1), faults, error))
                return Fail(error);
        }
        line.setFaults(index, faults);
    }
    if (seed)
        line.setSeed(*seed);

    auto terminalOf = [&](std::optional<int> numScan) {
        if (!numScan)
            return 0;
        for (size_t i = 0; i < specs.size(); ++i)
            if (specs[i].numScan == *numScan)
                return int(i);
        return -1;
    };
    if (!readingsFile.isEmpty()) {
        QFile file(readingsFile);
        if (!file.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("nie można otworzyć ") + readingsFile);
        std::vector<AddressedReading> readings;
        if (!ParseReadings(QString::fromUtf8(file.readAll()), QDateTime::currentDateTime(),
                           readings, &error))
            return Fail(readingsFile + QStringLiteral(", ") + error);
        for (const AddressedReading& entry : readings) {
            const int index = terminalOf(entry.numScan);
            if (index < 0)
                return Fail(readingsFile + QStringLiteral(": brak terminala o adresie ") +
                            QString::number(*entry.numScan));
            line.addReading(index, entry.reading);
        }
    }

    auto label = [&](int index) {
        return index < 0 ? QStringLiteral("@?")
                         : QStringLiteral("@") + QString::number(specs[size_t(index)].numScan);
    };
    line.setObserver([&](int index, const LineFrame& frame) {
        const QString at = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz "));
        if (!quiet || index < 0 || !frame.checkOk)
            Print(at + label(index) + QStringLiteral(" <- ") + Printable(frame.command) +
                  (frame.checkOk ? QString() : QStringLiteral("  (zły znak kontrolny)")));
        if (index < 0)
            return;
        const bool text = frame.command.size() == 18 && frame.command.startsWith("p0") &&
                          !frame.command.startsWith("p0~");
        if (text)
            Print(at + label(index) + QStringLiteral(" wyświetla \"") +
                  kzm::FromWin1250(frame.command.sliced(2)) + QLatin1Char('"'));
        if (frame.command == QByteArray(1, 0x06))
            Print(at + label(index) + QStringLiteral(" w pamięci ") +
                  QString::number(line.state(index).stored.size()));
    });

    // The readings due at the start are there before the line is, so the first status counts
    // them.
    ReadingGenerator generator(cards, rate, int(specs.size()), count);
    auto addDue = [&](qint64 elapsed) {
        const QDateTime now = QDateTime::currentDateTime();
        for (auto [index, reading] : generator.due(elapsed, now)) {
            reading.time = line.state(index).clock(now);
            line.addReading(index, reading);
            if (!quiet)
                Print(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) +
                      label(index) + QStringLiteral(" karta ") + reading.card);
        }
    };
    addDue(0);
    if (!line.start(link, &error))
        return Fail(error);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    Print(QStringLiteral("tqsim: łącze %1 (%2) jako %3, terminale:")
              .arg(rs485 ? QStringLiteral("RS-485") : QStringLiteral("RS-232"), line.devicePath(),
                   link));
    for (size_t i = 0; i < specs.size(); ++i)
        Print(QStringLiteral("  %1 %2, w pamięci %3")
                  .arg(label(int(i)), specs[i].model == Model::TQ700 ? QStringLiteral("TQ700")
                                                                     : QStringLiteral("TQ200"))
                  .arg(line.state(int(i)).stored.size()));

    const auto started = std::chrono::steady_clock::now();
    enum { Plugged, Unplugged, PluggedAgain } plug = Plugged;
    while (!stopRequested) {
        {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - started)
                                     .count();
            if (plug == Plugged && unplugAtS >= 0 && elapsed >= unplugAtS * 1000) {
                line.unplug();
                plug = Unplugged;
                Print(QStringLiteral("tqsim: łącze wyjęte"));
            } else if (plug == Unplugged && elapsed >= (unplugAtS + unplugForS) * 1000) {
                if (!line.plugIn(&error))
                    return Fail(error);
                plug = PluggedAgain;
                Print(QStringLiteral("tqsim: łącze z powrotem, ") + line.devicePath());
            }
            addDue(elapsed);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    line.stop();
    for (size_t i = 0; i < specs.size(); ++i) {
        const TerminalState state = line.state(int(i));
        Print(QStringLiteral("%1: potwierdzone %2, w pamięci %3, tekstów %4")
                  .arg(label(int(i)))
                  .arg(state.acknowledged)
                  .arg(state.stored.size())
                  .arg(state.texts.size()));
    }
    return 0;
}
