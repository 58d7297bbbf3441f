// The library's worker calls a user program; the pure tests never start one.
void UserInit() {}
void UserMain() {}
