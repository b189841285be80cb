// Every take-node container test, on containers whose default take is made
// when first reached.
#define TAKE_CONTAINER_TESTS_DEFER_DEFAULT_TAKE
#include "kfbxtakenodecontainer_test.cpp"
