// The concrete web API client: the call mechanics of TBaseApi, nothing added.
#include "services/UserApi.h"

TUserApi::TUserApi() = default;

TUserApi::~TUserApi() = default;
