#include "editor/EditorRights.h"

EditorRights RightsFor(const QString& userId, const QString& askId, const QString& ansId,
                       const QString& status)
{
    EditorRights rights;
    rights.questionSide = userId == askId;
    rights.answerSide = userId == ansId;
    rights.status = rights.answerSide || status == kWaitingStatus;
    return rights;
}
