// The host library; its units live beside this file.
