// Who may do what with a file, passed from one open file to another.
#ifndef PLATFORM_OS_FILEACCESS_H
#define PLATFORM_OS_FILEACCESS_H

namespace qalimor::os {

// Gives the file open as descriptor to the owner, group, permission bits
// and extended attributes (its access lists among them) of the file open as
// descriptor from, and none of its own: whoever may read or write the one
// may then read or write the other, and no one else. False with errno set
// when the system refuses the process any of them (an owner or group it may
// not give, attributes it may not read or set), the file then holding only
// some of them.
bool TakeAccessOf(int from, int descriptor);

}  // namespace qalimor::os

#endif
