#include "reference/DeliveredDatabases.h"
bool WriteDeliveredDatabases(const QString &, const QString &, QString *error) { *error = "todo"; return false; }
