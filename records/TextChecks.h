#pragma once

#include <QString>

// Checks of typed texts before they go to the database. Each tells the user what is
// wrong and returns false, so the window can stop and put the focus on the field.

// `what` names the field and the use, e.g. "업체명에 저장할" or "화면명칭에 검색할":
// false when the text holds characters that the database cannot keep (named in the
// message).
bool TextStorable(const QString& text, const QString& what);

// `subject` names the field with its particle, e.g. "업체명이": false when the text is
// longer than `maxBytes` in CP949 (a Hangul syllable counts 2).
bool TextFits(const QString& text, const QString& subject, int maxBytes);
