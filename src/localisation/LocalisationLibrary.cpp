// The localisation library; its units live beside this file.
