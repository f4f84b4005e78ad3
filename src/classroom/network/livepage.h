#pragma once

#include <QJsonObject>

class NetworkSession;
struct NetworkPupil;

// What a pupil's page is told of a live run (POST /api/live): the step the teacher is at and,
// once a question is on the projector, that question alone, in the pupil's order of answers.
// The class's answers come as counts by place only once the teacher shows them, the right
// places only once the teacher shows the right answer; never a name, never a later question.
namespace LivePage {

QJsonObject viewOf(const NetworkSession &session, const NetworkPupil &pupil);

} // namespace LivePage
