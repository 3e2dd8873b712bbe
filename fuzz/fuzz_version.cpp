// The update check's answer from any server: an answer is taken only as a dotted version
// number, and the versions taken are put in one consistent order, with the running
// program's among them.
#include <QList>
#include <QString>

#include <optional>

#include "FuzzSupport.h"
#include "frmCheck.h"

namespace {

// The version one step up: its last number plus one ("1.9" gives "1.10").
QString nextUp(QString version) {
    qsizetype i = version.size() - 1;
    while (i >= 0 && version[i] == QLatin1Char('9')) {
        version[i] = QLatin1Char('0');
        --i;
    }
    if (i < 0 || version[i] == QLatin1Char('.')) {
        version.insert(i + 1, QLatin1Char('1'));
    } else {
        version[i] = QChar(version[i].unicode() + 1);
    }
    return version;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray answer = inputBytes(data, size);
    QString problem;
    const std::optional<QString> published = frmCheck::publishedVersion(answer, &problem);
    expect(published.has_value() == problem.isEmpty(),
           "a refused answer says why, a version taken has no complaint");
    if (published) {
        expect(!published->isEmpty() && answer.startsWith(published->toLatin1()),
               "the version taken is the start of the answer");
    }

    // Each line of the answer, taken as an answer of its own, gives more versions to order.
    QList<QString> versions{frmCheck::runningVersion()};
    if (published) {
        versions.append(*published);
    }
    for (const QByteArray& line : answer.split('\n')) {
        if (versions.size() == 5) {
            break;
        }
        if (const std::optional<QString> version = frmCheck::publishedVersion(line, nullptr)) {
            versions.append(*version);
        }
    }

    const auto compare = &frmCheck::compareVersions;
    for (const QString& a : versions) {
        expect(compare(a, a) == 0, "a version equals itself");
        expect(compare(a, a + QStringLiteral(".0")) == 0, "a missing part counts as 0");
        expect(compare(QStringLiteral("00") + a, a) == 0, "leading zeros do not count");
        const QString up = nextUp(a);
        expect(compare(up, a) > 0 && compare(a, up) < 0, "one step up is newer");
        expect(compare(a + QStringLiteral(".1"), a) > 0, "a further part above 0 is newer");
        for (const QString& b : versions) {
            expect(compare(a, b) == -compare(b, a), "the order is the same both ways round");
            for (const QString& c : versions) {
                if (compare(a, b) <= 0 && compare(b, c) <= 0) {
                    expect(compare(a, c) <= 0, "the order is transitive");
                }
            }
        }
    }
    return 0;
}
