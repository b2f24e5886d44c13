// The web API client that callers create: fill BaseUrl and Token, make one call, destroy it.
#pragma once

#include "services/BaseApi.h"

class TUserApi : public TBaseApi {
public:
    TUserApi();
    ~TUserApi() override;
};
