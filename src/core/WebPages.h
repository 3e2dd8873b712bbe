#pragma once

#include <QString>

// The maker's web pages about the product. The folders come from the build's
// ORVANE_WEB_FOLDER and ORVANE_MAKER_HOME settings.
namespace WebPages {
QString makerHome();         // the maker's home page
QString productHome();       // the product's web folder, ending in "/"
QString feedback();          // productHome() + "feedback.htm"
QString technicalSupport();  // productHome() + "tech.htm"
QString newestVersion();     // productHome() + "upgrade/newest.dat"
QString upgradePage();       // productHome() + "upgrade.htm"
}  // namespace WebPages
