#pragma once
// The one message for each way a request to the cover services can fail,
// in the user's language.
#include "sources/ui/ServiceClient.h"

#include <QString>

// Empty for None and Cancelled (nothing to tell).
QString ServiceFailureText(ServiceFailure failure, const QString& detail);
QString SourceTextOf(int number);
