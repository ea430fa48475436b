#pragma once
// Checks on the web addresses the program opens or fetches. Whatever a web
// page or a setting hands us, the program only ever fetches http and https
// pages and only opens http, https and mailto addresses.
#include <string>

// The scheme of an absolute address in lower case ("https" for
// "HTTPS://host/"); empty for a relative address or one without a valid
// scheme.
std::string AddressScheme(const std::string& address);

// An http or https address with a host: the pages the update check fetches.
bool IsWebAddress(const std::string& address);

// An address the desktop may be asked to open: a web address or a mailto
// address with something after the colon.
bool IsOpenableAddress(const std::string& address);

// The host of an absolute address with an authority ("//host"), in lower
// case, without user, port and a trailing dot; empty when there is none.
std::string AddressHost(const std::string& address);

// A host in the reserved top-level domain "example" (never a real site):
// "example", "korvane.example".
bool IsReservedExampleHost(const std::string& host);
