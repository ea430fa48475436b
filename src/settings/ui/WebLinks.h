#pragma once
// The program's web addresses: build settings (see cmake/WebAddresses.cmake);
// the home page and the version page can be replaced at run time by the
// environment variables KORVANE_HOME_URL and KORVANE_VERSION_URL (tests,
// packagers), read at each call.
#include <QString>

QString HomePageAddress();
QString VersionPageAddress();
QString OnlineHelpAddress();
// The two cover-download sites of Help > Download Covers: site 0 and 1.
QString CoverSiteAddress(int site);
// The maker's contact: the bare mail address, and as a "mailto:" address.
QString ContactMailAddress();
QString ContactAddress();
// The Language menu's "Your Language here? Mail me...": the contact with a
// subject line.
QString TranslationContactAddress();
