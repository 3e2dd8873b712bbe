#include "LinkKinds.h"

#include <QLatin1StringView>

QString linkKindText(LinkKind kind) {
    switch (kind) {
        case LinkKind::Web:
            return QStringLiteral("Web");
        case LinkKind::RM:
            return QStringLiteral("RM");
        case LinkKind::Empty:
            break;
    }
    return QString();
}

const std::array<KindInfo, 7>& linkKinds() {
    static const std::array<KindInfo, 7> table{{
        {Kind::Web, 7, false, QStringLiteral("http"), QStringLiteral("http://"),
         QStringLiteral("HTTP"), LinkKind::Web, QStringLiteral("Web Link")},
        {Kind::SecureWeb, 8, false, QStringLiteral("https"), QStringLiteral("https://"),
         QStringLiteral("HTTPS"), LinkKind::Web, QStringLiteral("Web ( SSL ) Link")},
        {Kind::Ftp, 3, false, QStringLiteral("ftp"), QStringLiteral("ftp://"),
         QStringLiteral("FTP"), LinkKind::Web, QStringLiteral("FTP Link")},
        {Kind::Telnet, 6, false, QStringLiteral("telnet"), QStringLiteral("telnet://"),
         QStringLiteral("Telnet"), LinkKind::Web, QStringLiteral("Telnet Link")},
        {Kind::Gopher, 4, false, QStringLiteral("gopther"), QStringLiteral("gopther://"),
         QStringLiteral("Gopther"), LinkKind::Web, QStringLiteral("Gopther Link")},
        {Kind::RealMedia, 1, true, QString(), QStringLiteral("http://"), QString(), LinkKind::RM,
         QStringLiteral("RealMedia Link")},
        {Kind::RealMediaPlayList, 0, true, QString(), QStringLiteral("http://"), QString(),
         LinkKind::RM, QStringLiteral("RealMedia Link with Play List Support")},
    }};
    return table;
}

const KindInfo& kindInfo(Kind kind) {
    for (const KindInfo& info : linkKinds()) {
        if (info.kind == kind) {
            return info;
        }
    }
    Q_UNREACHABLE();
    return linkKinds().front();
}

const KindInfo* kindForDefaultLink(const QString& text) {
    if (text.isEmpty()) {
        return nullptr;
    }
    for (const KindInfo& info : linkKinds()) {
        if (info.defaultLinkText == text) {
            return &info;
        }
    }
    return nullptr;
}

std::optional<int> recognizedMenuIndex(const QString& address) {
    // The order matters: "https://" fails the first row on its fifth character and is
    // caught by the third; only the first letters are compared, so "telnet:host" is Telnet.
    struct Row {
        QLatin1StringView prefix;
        int menuIndex;
    };
    static constexpr Row rows[] = {
        {QLatin1StringView("http:/"), 7},  {QLatin1StringView("ftp://"), 3},
        {QLatin1StringView("https:"), 8},  {QLatin1StringView("telnet"), 6},
        {QLatin1StringView("gopther"), 4},
    };
    for (const Row& row : rows) {
        if (address.startsWith(row.prefix, Qt::CaseSensitive)) {
            return row.menuIndex;
        }
    }
    return std::nullopt;
}

namespace {

// "https" before "http", so that the longer word wins.
constexpr QLatin1StringView schemeWords[] = {
    QLatin1StringView("https"),  QLatin1StringView("http"),    QLatin1StringView("ftp"),
    QLatin1StringView("telnet"), QLatin1StringView("gopther"),
};

}  // namespace

QString switchSchemeWord(const QString& address, const QString& word) {
    for (QLatin1StringView current : schemeWords) {
        if (address.startsWith(current, Qt::CaseSensitive)) {
            if (current == word) {
                return address;
            }
            return word + address.mid(current.size());
        }
    }
    return address;
}

QString switchToRealMedia(const QString& address) {
    for (QLatin1StringView current :
         {QLatin1StringView("gopther"), QLatin1StringView("telnet"), QLatin1StringView("ftp")}) {
        if (address.startsWith(current, Qt::CaseSensitive)) {
            return QStringLiteral("http") + address.mid(current.size());
        }
    }
    return address;
}
