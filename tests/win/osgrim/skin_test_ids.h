// Ids of the test dialogs' controls and of the test menu.
#pragma once

#define IDC_TEST_BITMAP  101
#define IDC_TEST_LABEL   102
#define IDC_TEST_COMBO   103
#define IDC_TEST_LIST    104
#define IDC_TEST_EDIT    105
#define IDC_TEST_PLAIN   106
#define IDC_TEST_NOIMAGE 107

#define IDM_TEST_HELP    1000
#define IDM_TEST_ABOUT   1001
#define IDM_TEST_OPTIONS 1002
#define IDM_TEST_DECODER 1003
