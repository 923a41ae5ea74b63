#pragma once

#include <QString>

// What a user may change of a record opened in the editor: the question side belongs to
// the asking user, the answer side to the answering user; anybody may move a waiting
// request ("요청대기") on to another status.
struct EditorRights
{
    bool questionSide = true;
    bool answerSide = true;
    bool status = true;
};

inline const QString kWaitingStatus = QStringLiteral("요청대기");

EditorRights RightsFor(const QString& userId, const QString& askId, const QString& ansId,
                       const QString& status);
