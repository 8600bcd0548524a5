// A programmable login dialog: the answer of its modal run and the values "typed in".
#pragma once
#include <atomic>
#include <string>

#include "login_prompt.h"

class FakeLoginPrompt : public ILoginPrompt {
public:
    int DoModal() override { ++runs; return answer; }
    const char16_t* UserName() const override { return userName.c_str(); }
    const char16_t* Password() const override { return password.c_str(); }
    int Port() const override { return port; }

    int answer = 1;  // IDOK
    std::u16string userName = u"admin";
    std::u16string password = u"secret";
    int port = 8080;
    std::atomic<int> runs{0};
};

// One prompt for the tests that make a registry over the real adapters.
FakeLoginPrompt& TestModulePrompt();
