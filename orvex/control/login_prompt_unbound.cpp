// Used only while the module is built without its login dialog: a prompt that has no
// template, so every run ends at once as cancelled (-1).
#include "connections/login_prompt.h"

namespace {
class UnboundLoginPrompt : public ILoginPrompt {
public:
    int DoModal() override { return -1; }
    const char16_t* UserName() const override { return u""; }
    const char16_t* Password() const override { return u""; }
    int Port() const override { return 0; }
};
} // namespace

ILoginPrompt& ModuleLoginPrompt()
{
    static UnboundLoginPrompt prompt;
    return prompt;
}
