// The shared library's own translation unit; the exported functions come from the SDK core archive,
// linked in whole.
