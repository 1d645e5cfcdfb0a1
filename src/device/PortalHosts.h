#pragma once
// The maker's cloud portal domains, kept in this one place: the recorder names the portal host over plain HTTP,
// and the cloud e-mail, the cloud password and the recorder's administrator password go to whatever it names.
// A host outside these domains (or an address) is used only when the user, or the plan, names it.

#include <string>
#include <string_view>

// Whether host is one of the maker's portal domains or a name below one ("quelmo.com", "eu.quelmo.com"), compared
// without regard to letter case. The lab's domain ("quelmo.lab") counts only inside the lab; an address never
// counts.
bool IsMakerPortalHost(std::string_view host);

// Whether the account and the recorder's password may go to host: a host of the maker's domains, or the one host
// outside them that the user or the plan named (namedHost; equal but for letter case and a final "."; empty: none).
bool MayUsePortalHost(std::string_view host, std::string_view namedHost);

// Whether the wizard runs inside the lab that scripts/lab builds: that script names the lab's pc namespace in
// LAB_PC for every command it starts there.
bool RunsInLab();
