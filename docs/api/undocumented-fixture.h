/**
 * @file undocumented-fixture.h
 * @brief A header with gaps that the reference check must find (used by its own test only).
 */
/** Results. */
enum {
    FIXTURE_OK = 0, /**< done */
    FIXTURE_FAILED = 1
};
