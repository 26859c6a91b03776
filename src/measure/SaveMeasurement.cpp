#include "measure/SaveMeasurement.h"

#include "records/Database.h"
#include "records/RecordStore.h"
#include "shell/AppContext.h"

bool SaveMeasurement(AppContext &ctx, const Subject &target, QString *error) {
  const QString no = target.CustNo.trimmed();
  if (no.isEmpty()) {
    if (error)
      *error = QStringLiteral("请先点选或新增一位受测者，再储存检测资料。");
    return false;
  }
  ctx.CurrentSubject = target;
  const MeasurementRecord row = MeasurementRecord::fromMeasurement(ctx.CurrentMeasurement, no);
  const qint64 key = AppendMeasurement(ctx.database().working(), row, error);
  if (key <= 0)
    return false;
  ctx.CurrentMeasurement.StoredKey = int(key);
  return true;
}
