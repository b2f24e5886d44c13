// Running a check as an unprivileged user: the super-user ignores file permissions, so a
// read-only file only behaves as one for somebody else.
#pragma once

#include <QString>
#include <functional>

// Runs the check in a child process as user and group 65534 when the test runs as the
// super-user, else directly. Answers what the check answered: an empty text when it passed.
QString RunWithoutPrivileges(const std::function<QString()>& check);
