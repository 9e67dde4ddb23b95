#!/bin/sh
# The version a build takes from git, on throwaway repositories: the commit
# appended off the release tag, the plain version on it and without git
# metadata of our own; and each move of HEAD, or a new tag, touches a file
# the build configures again for. Last, the build being tested has the
# version its own sources have now.
# Usage: version_test.sh SOURCE_DIR SCRATCH_DIR CONFIGURED_VERSION
set -u
src=$1 scratch=$2 configured=$3
module=$src/cmake/TriloVersion.cmake

rm -rf "$scratch" && mkdir -p "$scratch/home"
export HOME="$scratch/home" GIT_CONFIG_NOSYSTEM=1 GIT_AUTHOR_NAME=trilo GIT_AUTHOR_EMAIL=trilo@localhost
export GIT_COMMITTER_NAME=trilo GIT_COMMITTER_EMAIL=trilo@localhost

fail=0
say() { echo "FAIL: $*"; fail=1; }
run_module() { cmake -DSOURCE_DIR="$1" -DBASE=0.2.0 -P "$module" 2>&1; }
version_of() { run_module "$1" | sed -n 's/^version //p'; }
depends_of() { run_module "$1" | sed -n 's/^depends //p'; }
# The files a build configured now would depend on, each with its time to
# the nanosecond and, for a file, its checksum.
stamp() {
  printf '%s\n' "$1" | while IFS= read -r p; do
    [ -n "$p" ] && printf '%s %s %s\n' "$p" "$(stat -c %y "$p" 2>&1)" "$(if [ -f "$p" ]; then md5sum <"$p"; fi)"
  done
}
expect_version() {  # WHAT DIR EXPECTED
  got=$(version_of "$2")
  [ "$got" = "$3" ] || say "$1: version '$got', expected '$3'"
}
commit() { (cd "$1" && echo "$2" >>file && git add file && git commit -qm "$2"); }
short() { git -C "$1" rev-parse --short=7 HEAD; }
configured_on() { deps=$(depends_of "$1"); before=$(stamp "$deps"); sleep 0.05; }
expect_moved() {  # WHAT
  [ -n "$deps" ] || say "$1: the build depends on no file"
  [ "$before" != "$(stamp "$deps")" ] || say "$1: no file the build depends on changed"
}

repo=$scratch/repo
git init -q -b main "$repo"
expect_version "a repository without a commit" "$repo" 0.2.0

commit "$repo" one
expect_version "a commit" "$repo" "0.2.0+g$(short "$repo")"
case $(version_of "$repo") in 0.2.0+g[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]) ;;
  *) say "a commit: '$(version_of "$repo")' is not 0.2.0+g and seven hex digits";; esac

configured_on "$repo"
commit "$repo" two
expect_version "the next commit" "$repo" "0.2.0+g$(short "$repo")"
expect_moved "a commit on a branch"

configured_on "$repo"
git -C "$repo" tag -a -m release v0.2.0
expect_version "the release tag" "$repo" 0.2.0
expect_moved "a new tag"

commit "$repo" three
git -C "$repo" tag v0.3.0
git -C "$repo" tag other
expect_version "past the release tag, other tags at HEAD" "$repo" "0.2.0+g$(short "$repo")"

configured_on "$repo"
git -C "$repo" checkout -q --detach HEAD~1
expect_version "the release tag checked out detached" "$repo" 0.2.0
expect_moved "a detached checkout"

git -C "$repo" checkout -q main
git -C "$repo" pack-refs --all
configured_on "$repo"
commit "$repo" four
expect_version "a commit on a packed branch" "$repo" "0.2.0+g$(short "$repo")"
expect_moved "a commit on a packed branch"

# In a worktree .git is a file, and HEAD and the branches lie apart.
git -C "$repo" worktree add -q -b side "$scratch/worktree"
expect_version "a worktree" "$scratch/worktree" "0.2.0+g$(short "$repo")"
configured_on "$scratch/worktree"
commit "$scratch/worktree" five
expect_version "a commit in a worktree" "$scratch/worktree" "0.2.0+g$(short "$scratch/worktree")"
expect_moved "a commit in a worktree"

# Sources without their own git metadata: alone, and unpacked inside someone
# else's repository.
mkdir "$scratch/tarball" "$repo/unpacked"
git -C "$repo" archive HEAD | tar -x -C "$scratch/tarball"
git -C "$repo" archive HEAD | tar -x -C "$repo/unpacked"
expect_version "a tarball" "$scratch/tarball" 0.2.0
# Dates: the commit's, else SOURCE_DATE_EPOCH's.
epoch=$(run_module "$repo" | sed -n 's/^epoch //p')
[ "$epoch" = "$(git -C "$repo" log -1 --format=%ct)" ] || say "the date of a commit: '$epoch'"
epoch=$(SOURCE_DATE_EPOCH=1234567890 run_module "$scratch/tarball" | sed -n 's/^epoch //p')
[ "$epoch" = 1234567890 ] || say "the date of a tarball with SOURCE_DATE_EPOCH: '$epoch'"
expect_version "a tarball inside another repository" "$repo/unpacked" 0.2.0
[ -z "$(depends_of "$scratch/tarball")" ] || say "a tarball: the build depends on git files"

expect_version "this build's sources" "$src" "$configured"

[ "$fail" -eq 0 ] && echo "version: all cases as expected"
exit "$fail"
