#pragma once
// Ends whatever request the shared request object has in flight.

template <typename Client> void StopClient(Client& client)
{
    if constexpr (requires { client.Stop(); })
        client.Stop();
}
