#pragma once

#include <QString>
#include <array>
#include <optional>

// The editor window's LinkKind: which file format a save writes. A new window's is Empty,
// which saves like Web.
enum class LinkKind { Empty, Web, RM };

// "Web", "RM" or "" (what the window variable holds as text).
QString linkKindText(LinkKind kind);

enum class Kind { Web, SecureWeb, Ftp, Telnet, Gopher, RealMedia, RealMediaPlayList };

// One row of the table of link kinds.
struct KindInfo {
    Kind kind;
    // Index of the item that shows the kind: in mnuLink, or in mnuPlayList when
    // inPlayListMenu is set.
    int menuIndex;
    bool inPlayListMenu;
    QString schemeWord;       // "http", ...; empty for the RealMedia kinds
    QString newLinkPrefix;    // the address of a new link, "http://", ...
    QString defaultLinkText;  // the "Default Link" setting, empty for the RealMedia kinds
    LinkKind linkKind;
    QString wizardName;  // the name the startup wizard lists
};

// The seven kinds, in the table's order (Web, Secure Web, FTP, Telnet, Gopher, RealMedia,
// RealMedia with play list), which is also the startup wizard's order.
const std::array<KindInfo, 7>& linkKinds();
const KindInfo& kindInfo(Kind kind);

// The kind whose "Default Link" text is exactly `text` (case matters), if any.
const KindInfo* kindForDefaultLink(const QString& text);

// The recognition rule for an opened Internet shortcut: the mnuLink index to check, or
// nullopt when no prefix matches (the check marks then stay as they were).
std::optional<int> recognizedMenuIndex(const QString& address);

// The Link menu's switch to an Internet-shortcut kind with scheme word `word`: the scheme
// word the address begins with ("https" tried before "http", exact case) is replaced by
// `word`; an address that begins with `word` or with none of the five words is unchanged.
QString switchSchemeWord(const QString& address, const QString& word);

// "Without Play List": a leading "gopther", "telnet" or "ftp" becomes "http".
QString switchToRealMedia(const QString& address);
