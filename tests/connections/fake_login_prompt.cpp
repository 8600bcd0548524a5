#include "fake_login_prompt.h"

FakeLoginPrompt& TestModulePrompt()
{
    static FakeLoginPrompt prompt;
    return prompt;
}
